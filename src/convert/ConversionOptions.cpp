#include "ConversionOptions.h"

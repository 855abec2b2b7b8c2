#pragma once

#include "ValueTransform.h"

#include <functional>

namespace ornvale::test {

// A value transform made of a plain function, so tests see exactly which values reach it. Without
// a function it changes nothing and the driver copies values undecoded.
class FunctionTransform : public ValueTransform {
public:
    using Function = std::function<QString(const QString&, TextEntityKind)>;

    FunctionTransform(Function function = {}) : m_function(std::move(function)) {}

    QStringView transformView(const QString& value, TextEntityKind kind) override {
        m_result = m_function(value, kind);
        return m_result;
    }
    bool changesNothing() const override { return !m_function; }

private:
    Function m_function;
    QString m_result;
};

} // namespace ornvale::test

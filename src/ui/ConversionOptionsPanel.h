#pragma once

#include "ConversionOptions.h"
#include "ConversionOptionsModel.h"

#include <QHash>
#include <QWidget>

#include <array>

class QAbstractButton;
class QButtonGroup;
class QCheckBox;
class QRadioButton;

namespace ornvale {

// The main window's conversion options: format and release buttons, view, audit and purge.
// The controls carry no rules of their own; every change of one, however made, goes to the
// options model and the controls are refreshed from it.
class ConversionOptionsPanel : public QWidget {
    Q_OBJECT
public:
    explicit ConversionOptionsPanel(QWidget* parent = nullptr);

    // Release captions, hidden release buttons and purge items for the product of the run.
    void applyProduct(quint8 selectionCode);
    // The values as the job takes them when it starts.
    ConversionOptions options() const { return m_model.options(); }
    ConversionOptionsModel& model() { return m_model; }

private:
    using Box = ConversionOptionsModel::Box;
    using ReleaseGroup = ConversionOptionsModel::ReleaseGroup;

    QWidget* buildFormatGroup();
    QWidget* buildAuditGroup();
    QWidget* buildPurgeGroup();
    QWidget* buildViewGroup();
    QCheckBox* addBox(Box box, int number, const QString& caption);
    QButtonGroup* addReleaseGroup(ReleaseGroup group, const QString& name, QWidget* owner);
    void refresh();

    ConversionOptionsModel m_model;
    QHash<Box, QCheckBox*> m_boxes;
    std::array<QButtonGroup*, 2> m_releaseGroups{};
    QButtonGroup* m_viewGroup = nullptr;
};

} // namespace ornvale

#include "ConversionOptionsModel.h"

#include "ProductTable.h"

namespace ornvale {

namespace {

using Box = ConversionOptionsModel::Box;

// The eight single items that "all" excludes; table styles and later are independent of it.
constexpr std::array<Box, 8> kEightItems = {
    Box::PurgeBlocks,     Box::PurgeLayers,    Box::PurgeLinetypes,  Box::PurgeShapes,
    Box::PurgePlotStyles, Box::PurgeDimStyles, Box::PurgeTextStyles, Box::PurgeMlineStyles};

bool isEightItem(Box box) {
    for (Box item : kEightItems) {
        if (item == box)
            return true;
    }
    return false;
}

} // namespace

ConversionOptionsModel::ConversionOptionsModel(QObject* parent) : QObject(parent) {
    m_checked[index(Box::Dxf)] = true;
}

ConversionOptionsModel::Box ConversionOptionsModel::purgeBox(PurgeItem item) {
    return static_cast<Box>(static_cast<int>(Box::PurgeAll) + static_cast<int>(item));
}

void ConversionOptionsModel::setChecked(Box box, bool on) {
    assign(box, on);
    finish();
}

// A handler runs only when the value really changes, as a check box's click event does.
void ConversionOptionsModel::assign(Box box, bool on) {
    if (m_checked[index(box)] == on)
        return;
    m_checked[index(box)] = on;
    m_dirty = true;
    react(box);
}

void ConversionOptionsModel::react(Box box) {
    const bool on = isChecked(box);
    switch (box) {
    case Box::Dxf:
        if (!on)
            m_dxfDesignStateShown = false;
        assign(Box::Dwg, !on);
        break;
    case Box::Dwg:
        assign(Box::Dxf, !on);
        break;
    case Box::Audit:
        if (!on) {
            assign(Box::AuditFix, false);
            assign(Box::KeepAuditReport, false);
        }
        break;
    case Box::AuditFix:
    case Box::KeepAuditReport:
        if (on)
            assign(Box::Audit, true);
        break;
    case Box::PurgeAll:
        if (on) {
            for (Box item : kEightItems)
                assign(item, false);
        }
        break;
    default:
        if (isEightItem(box))
            reactToPurgeItem(box);
        break;
    }
}

// Ticking the last missing one of the eight turns into "all"; ticking any one clears "all".
void ConversionOptionsModel::reactToPurgeItem(Box box) {
    bool allEight = true;
    for (Box item : kEightItems)
        allEight = allEight && isChecked(item);
    if (allEight) {
        assign(Box::PurgeAll, true);
        for (Box item : kEightItems)
            assign(item, false);
    }
    if (isChecked(box))
        assign(Box::PurgeAll, false);
}

void ConversionOptionsModel::finish() {
    if (!m_dirty)
        return;
    m_dirty = false;
    emit changed();
}

int ConversionOptionsModel::releaseIndex(ReleaseGroup group) const {
    return m_releaseIndex[static_cast<std::size_t>(group)];
}

void ConversionOptionsModel::setReleaseIndex(ReleaseGroup group, int index) {
    if (index < 0 || index >= kReleaseButtons || releaseIndex(group) == index)
        return;
    m_releaseIndex[static_cast<std::size_t>(group)] = index;
    m_dirty = true;
    finish();
}

void ConversionOptionsModel::setViewMode(int mode) {
    if (mode < 0 || mode >= kViewModes || mode == m_viewMode)
        return;
    m_viewMode = mode;
    m_dirty = true;
    finish();
}

void ConversionOptionsModel::setSelectionCode(quint8 selectionCode) {
    if (selectionCode == m_selectionCode)
        return;
    m_selectionCode = selectionCode;
    m_dirty = true;
    finish();
}

QString ConversionOptionsModel::releaseCaption(ReleaseGroup group, int index) const {
    const ProductRow* row = productRow(m_selectionCode);
    if (!row || index < 0 || index >= kReleaseButtons)
        return {};
    const auto& captions =
        group == ReleaseGroup::Dxf ? row->dxfReleaseCaptions : row->dwgReleaseCaptions;
    return captions[static_cast<std::size_t>(index)].value_or(QString());
}

bool ConversionOptionsModel::isReleaseButtonOffered(ReleaseGroup group, int index) const {
    const ProductRow* row = productRow(m_selectionCode);
    if (!row || index < 0 || index >= kReleaseButtons)
        return false;
    const auto& captions =
        group == ReleaseGroup::Dxf ? row->dxfReleaseCaptions : row->dwgReleaseCaptions;
    return captions[static_cast<std::size_t>(index)].has_value();
}

bool ConversionOptionsModel::isReleaseButtonVisible(ReleaseGroup group, int index) const {
    if (index < 0 || index >= kReleaseButtons)
        return false;
    // With no product the format boxes only ever hide a group: the DXF buttons stay as
    // designed (shown, without captions) until DXF is first unticked, the DWG buttons never show.
    if (!productRow(m_selectionCode))
        return group == ReleaseGroup::Dxf && m_dxfDesignStateShown;
    const bool groupShown = (group == ReleaseGroup::Dxf) == isChecked(Box::Dxf);
    return groupShown && isReleaseButtonOffered(group, index);
}

bool ConversionOptionsModel::isPurgeItemVisible(PurgeItem item) const {
    switch (item) {
    case PurgeItem::TableStyles:
    case PurgeItem::RegApps:
        return is2005OrLater(m_selectionCode);
    case PurgeItem::Materials:
    case PurgeItem::VisualStyles:
        return is2007Generation(m_selectionCode);
    default:
        return true;
    }
}

ConversionOptions ConversionOptionsModel::options() const {
    ConversionOptions options;
    options.outputFormat = isChecked(Box::Dxf) ? OutputFormat::Dxf : OutputFormat::Dwg;
    options.dxfVersionIndex = releaseIndex(ReleaseGroup::Dxf);
    options.dwgVersionIndex = releaseIndex(ReleaseGroup::Dwg);
    options.viewMode = m_viewMode;
    options.audit = isChecked(Box::Audit);
    options.auditFix = isChecked(Box::AuditFix);
    options.keepAuditReport = isChecked(Box::KeepAuditReport);
    for (PurgeItem item : allPurgeItems()) {
        if (isChecked(purgeBox(item)))
            options.purgeItems.append(item);
    }
    return options;
}

} // namespace ornvale

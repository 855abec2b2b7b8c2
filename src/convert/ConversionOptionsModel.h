#pragma once

#include "ConversionOptions.h"

#include <QObject>
#include <QString>

#include <array>

namespace ornvale {

// The main window's option controls as state, with the interlocks of their click handlers. The
// window binds its check boxes and option buttons to this; the command line replays its flags
// on it as ticks, so both front ends share every rule.
class ConversionOptionsModel : public QObject {
    Q_OBJECT
public:
    // The check boxes with handlers or values, named after what they carry (Check1, Check2,
    // Check18, Check19, Check20, then Check3.. Check17 in purge order).
    enum class Box {
        Dxf,
        Dwg,
        Audit,
        AuditFix,
        KeepAuditReport,
        PurgeAll,
        PurgeBlocks,
        PurgeLayers,
        PurgeLinetypes,
        PurgeShapes,
        PurgePlotStyles,
        PurgeDimStyles,
        PurgeTextStyles,
        PurgeMlineStyles,
        PurgeTableStyles,
        PurgeRegApps,
        PurgeMaterials,
        PurgeVisualStyles
    };
    static constexpr int kBoxCount = 18;
    enum class ReleaseGroup { Dxf, Dwg }; // Option1 and Option2
    static constexpr int kReleaseButtons = 4;
    static constexpr int kViewModes = 3;

    explicit ConversionOptionsModel(QObject* parent = nullptr);

    static Box purgeBox(PurgeItem item);

    bool isChecked(Box box) const { return m_checked[index(box)]; }
    // What a click that leaves the box at `on` does, with every handler it sets off.
    void setChecked(Box box, bool on);

    int releaseIndex(ReleaseGroup group) const;
    void setReleaseIndex(ReleaseGroup group, int index);
    int viewMode() const { return m_viewMode; }
    void setViewMode(int mode);

    // Captions and hidden states follow the product; set once at start-up.
    void setSelectionCode(quint8 selectionCode);
    quint8 selectionCode() const { return m_selectionCode; }
    QString releaseCaption(ReleaseGroup group, int index) const;
    // The product shows the button at all (its caption is not marked hidden).
    bool isReleaseButtonOffered(ReleaseGroup group, int index) const;
    // Offered, and its group is the one of the chosen format. With no product: the design
    // state, the DXF group shown until DXF is unticked.
    bool isReleaseButtonVisible(ReleaseGroup group, int index) const;
    bool isPurgeItemVisible(PurgeItem item) const;

    // One snapshot of every value, as the job takes it when it starts.
    ConversionOptions options() const;

signals:
    // Any value changed; the window refreshes its controls from the model.
    void changed();

private:
    static std::size_t index(Box box) { return static_cast<std::size_t>(box); }
    void assign(Box box, bool on);
    void react(Box box);
    void reactToPurgeItem(Box box);
    void finish();

    std::array<bool, kBoxCount> m_checked{};
    std::array<int, 2> m_releaseIndex{};
    int m_viewMode = 0;
    quint8 m_selectionCode = 0;
    bool m_dxfDesignStateShown = true; // until DXF is first unticked
    bool m_dirty = false;
};

} // namespace ornvale

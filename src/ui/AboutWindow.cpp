#include "AboutWindow.h"

#include "Startup.h"

#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace ornvale {

AboutWindow::AboutWindow(QWidget* parent) : QWidget(parent, Qt::Window) {
    setObjectName(QStringLiteral("frmAbout"));
    setWindowTitle(applicationTitle() + QStringLiteral(" のバージョン情報"));
    auto* title = new QLabel(applicationTitle(), this);
    title->setObjectName(QStringLiteral("lblTitle"));
    QFont big = title->font();
    big.setPointSize(16);
    big.setBold(true);
    title->setFont(big);
    auto* version = new QLabel(versionText(), this);
    version->setObjectName(QStringLiteral("lblVersion"));
    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("cmdOK"));
    connect(ok, &QPushButton::clicked, this, &QWidget::close);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(title, 0, Qt::AlignHCenter);
    layout->addWidget(version, 0, Qt::AlignHCenter);
    layout->addSpacing(12);
    layout->addWidget(ok, 0, Qt::AlignHCenter);
    setFixedSize(sizeHint().expandedTo(QSize(280, 0)));
}

QString AboutWindow::versionText() {
    return QStringLiteral("Ver %1.%2.%3")
        .arg(ORNVALE_VERSION_MAJOR)
        .arg(ORNVALE_VERSION_MINOR)
        .arg(ORNVALE_VERSION_PATCH);
}

} // namespace ornvale

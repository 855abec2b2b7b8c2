#pragma once

#include <QByteArray>
#include <QFile>
#include <QList>
#include <QString>
#include <QStringList>

namespace ornvale::test {

// One product of tests/data/products.tsv, the golden copy of the product table that the tests
// check the program against instead of typing the table out again.
struct GoldenProduct {
    int code = 0;
    QString executable;
    QString label;
    int settingsOption = 0;
    QString settingsCaption;
    QStringList dxfCaptions; // four; an empty caption is a hidden button
    QStringList dwgCaptions;
    QStringList dxfTokens; // four; empty: nothing is written
    QStringList dwgTokens;
    QList<QByteArray> versions;
    bool blankAfterClose = false;
    int auditSummaryOffset = 0;
    bool tableStylesAndRegApps = false;
    bool materialsAndVisualStyles = false;

    // The buttons of a group with a caption, as digits ("012").
    static QString shown(const QStringList& captions) {
        QString out;
        for (int i = 0; i < captions.size(); ++i) {
            if (!captions[i].isEmpty())
                out += QString::number(i);
        }
        return out;
    }
};

// Every product, in the order start-up looks for them. A malformed file ends the test run.
inline const QList<GoldenProduct>& goldenProducts() {
    static const QList<GoldenProduct> products = [] {
        const QString path = QStringLiteral(ORNVALE_TEST_DATA "/products.tsv");
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly))
            qFatal("cannot read %s", qPrintable(path));
        QList<GoldenProduct> out;
        const auto four = [&](const QString& field) {
            const QStringList parts = field.split(QLatin1Char('|'));
            if (parts.size() != 4)
                qFatal("%s: not four buttons: %s", qPrintable(path), qPrintable(field));
            return parts;
        };
        const auto flag = [&](const QString& field) {
            if (field != QLatin1String("0") && field != QLatin1String("1"))
                qFatal("%s: not a flag: %s", qPrintable(path), qPrintable(field));
            return field == QLatin1String("1");
        };
        for (QByteArray line : file.readAll().split('\n')) {
            if (line.endsWith('\r'))
                line.chop(1);
            if (line.isEmpty() || line.startsWith('#'))
                continue;
            const QStringList f = QString::fromUtf8(line).split(QLatin1Char('\t'));
            if (f.size() != 14)
                qFatal("%s: %lld fields in: %s", qPrintable(path), qlonglong(f.size()),
                       line.constData());
            GoldenProduct p;
            p.code = f[0].toInt();
            p.executable = f[1];
            p.label = f[2];
            p.settingsOption = f[3].toInt();
            p.settingsCaption = f[4];
            p.dxfCaptions = four(f[5]);
            p.dwgCaptions = four(f[6]);
            p.dxfTokens = four(f[7]);
            p.dwgTokens = four(f[8]);
            for (const QString& version : f[9].split(QLatin1Char(' ')))
                p.versions.append(version.toLatin1());
            p.blankAfterClose = flag(f[10]);
            p.auditSummaryOffset = f[11].toInt();
            p.tableStylesAndRegApps = flag(f[12]);
            p.materialsAndVisualStyles = flag(f[13]);
            out.append(p);
        }
        if (out.isEmpty())
            qFatal("%s holds no product", qPrintable(path));
        return out;
    }();
    return products;
}

inline const GoldenProduct& goldenProduct(int code) {
    for (const GoldenProduct& product : goldenProducts()) {
        if (product.code == code)
            return product;
    }
    qFatal("no product %d in products.tsv", code);
}

// Every selection code of a product, in detection order.
inline QList<int> everySelectionCode() {
    QList<int> codes;
    for (const GoldenProduct& product : goldenProducts())
        codes.append(product.code);
    return codes;
}

} // namespace ornvale::test

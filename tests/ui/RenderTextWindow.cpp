// Renders the text window with a few files listed and some options chosen, and saves it as a
// PNG: `xvfb-run -a RenderTextWindow docs/text-window.png`. Not a test; kept beside the window
// tests so the picture in the documentation can be made again.
#include "TextWindowHarness.h"

#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QPixmap>
#include <QTemporaryDir>
#include <QTimer>

#include <cstdio>

using namespace Qt::StringLiterals;

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    if (argc != 2) {
        std::fputs("usage: RenderTextWindow OUTPUT.png\n", stderr);
        return 2;
    }
    QTemporaryDir dir;
    ornvale::test::RecordingPrompter prompter;
    ornvale::TextWindow window(prompter, 41);
    window.show();
    QStringList files;
    for (const QString& name : {u"1F平面図.dxf"_s, u"2F平面図.dxf"_s, u"立面図.dxf"_s})
        files.append(ornvale::test::copyFixture(dir.path(), u"text_r2004.dxf"_s, name));
    ornvale::test::dropFiles(window.findChild<QListWidget*>(u"List1"_s), files);
    window.findChild<QLineEdit*>(u"Text1_0"_s)->setText(u"ｶﾀｶﾅ"_s);
    window.findChild<QLineEdit*>(u"Text1_1"_s)->setText(u"カタカナ"_s);
    window.findChild<QCheckBox*>(u"Check2_0"_s)->click();
    int status = 1;
    QTimer::singleShot(500, &window, [&] {
        status = window.grab().save(QString::fromLocal8Bit(argv[1])) ? 0 : 1;
        QCoreApplication::exit(status);
    });
    QApplication::exec();
    return status;
}

#include "JobSettingsFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <optional>

using namespace Qt::StringLiterals;

namespace ornvale {

namespace {

constexpr QByteArrayView kStallKey = "StallMinutes";
// Far more than the file ever holds: anything bigger is not this file.
constexpr qint64 kMaxBytes = 64 * 1024;

QString noValue() {
    return u"待ち時間の設定がないため、待ち時間なし（0）として読みました。"_s;
}

QString badValue(const QByteArray& value) {
    return u"待ち時間の設定「%1」は 0 から %2 までの分数ではないため、待ち時間なし（0）として"
           u"読みました。"_s.arg(QString::fromUtf8(value).left(40))
               .arg(JobSettingsFile::kMaxStallMinutes);
}

} // namespace

QString JobSettingsFile::path(const QString& windowsDirectory) {
    return QDir::toNativeSeparators(windowsDirectory + u"/ornvale-job.ini"_s);
}

JobSettingsFile::Values JobSettingsFile::parse(const QByteArray& bytes) {
    std::optional<QByteArray> stall;
    for (const QByteArray& raw : bytes.split('\n')) {
        const QByteArray line = raw.trimmed();
        if (line.isEmpty() || line.startsWith(';') || line.startsWith('#'))
            continue;
        const qsizetype equals = line.indexOf('=');
        if (equals < 0)
            return {0, u"設定として読めない行があるため、待ち時間なし（0）として読みました。"_s};
        if (line.left(equals).trimmed() == kStallKey)
            stall = line.mid(equals + 1).trimmed();
    }
    if (!stall)
        return {0, noValue()};
    bool ok = false;
    const int minutes = stall->toInt(&ok);
    if (!ok || minutes < 0 || minutes > kMaxStallMinutes)
        return {0, badValue(*stall)};
    return {minutes, {}};
}

JobSettingsFile::Values JobSettingsFile::read(const QString& windowsDirectory) {
    if (windowsDirectory.isEmpty())
        return {};
    const QFileInfo info(path(windowsDirectory));
    if (!info.exists())
        return {};
    // A folder, a pipe or a device under the name would fail or block.
    if (!info.isFile())
        return {0, u"通常のファイルではないため、待ち時間なし（0）として読みました。"_s};
    if (info.size() > kMaxBytes)
        return {0, u"設定ファイルとしては大きすぎるため、待ち時間なし（0）として読みました。"_s};
    QFile file(info.filePath());
    if (!file.open(QIODevice::ReadOnly))
        return {0, u"ファイルを開けないため、待ち時間なし（0）として読みました。"_s};
    return parse(file.read(kMaxBytes));
}

bool JobSettingsFile::write(const QString& windowsDirectory, int stallMinutes) {
    if (windowsDirectory.isEmpty() || stallMinutes < 0 || stallMinutes > kMaxStallMinutes)
        return false;
    const QString filePath = path(windowsDirectory);
    const QFileInfo info(filePath);
    if (info.exists() && !info.isFile())
        return false;
    const QByteArray bytes =
        kStallKey.toByteArray() + '=' + QByteArray::number(stallMinutes) + "\r\n";
    QSaveFile file(filePath);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    if (file.write(bytes) != bytes.size()) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

} // namespace ornvale

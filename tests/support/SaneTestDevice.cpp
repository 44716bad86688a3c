#include "support/SaneTestDevice.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace testsupport {
namespace {

const QString &configDir()
{
    static QTemporaryDir dir;
    static const QString path = [] {
        qputenv("SANE_CONFIG_DIR", QFile::encodeName(dir.path()));
        return dir.path();
    }();
    return path;
}

} // namespace

void writeSaneDllConf(const QByteArray &backends)
{
    QFile dll(configDir() + QStringLiteral("/dll.conf"));
    if (!dll.open(QIODevice::WriteOnly) || dll.write(backends) != backends.size())
        ADD_FAILURE() << "cannot write the SANE configuration";
}

void useSaneTestDevice() { writeSaneDllConf("test\n"); }

void writeSaneTestConf(const SaneConf &overrides)
{
    SaneConf keys = {
        {"number_of_devices", "1"}, {"mode", "Gray"}, {"depth", "8"}, {"hand-scanner", "false"},
        {"three-pass", "false"}, {"three-pass-order", "RGB"}, {"resolution_min", "1.0"},
        {"resolution_max", "1200.0"}, {"resolution_quant", "1.0"}, {"resolution", "50.0"},
        {"test-picture", "\"Solid black\""}, {"invert-endianess", "false"}, {"read-limit", "false"},
        {"read-limit-size", "1"}, {"read-delay", "false"}, {"read-delay-duration", "1000"},
        {"read-status-code", "\"Default\""}, {"fuzzy-parameters", "false"}, {"ppl-loss", "0"},
        {"non-blocking", "false"}, {"select-fd", "false"}, {"enable-test-options", "false"},
        {"geometry_min", "0.0"}, {"geometry_max", "200.0"}, {"geometry_quant", "1.0"},
        {"tl_x", "0.0"}, {"tl_y", "0.0"}, {"br_x", "80.0"}, {"br_y", "100.0"},
    };
    for (const auto &[key, value] : overrides) {
        bool known = false;
        for (auto &k : keys)
            if (k.first == key) {
                k.second = value;
                known = true;
            }
        if (!known)
            ADD_FAILURE() << "not a key of the SANE test device: " << key.constData();
    }
    QByteArray text;
    for (const auto &[key, value] : keys)
        text += key + ' ' + value + '\n';
    QFile f(configDir() + QStringLiteral("/test.conf"));
    if (!f.open(QIODevice::WriteOnly) || f.write(text) != text.size())
        ADD_FAILURE() << "cannot write test.conf";
}

} // namespace testsupport

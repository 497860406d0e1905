#include "ToolCommands.h"

#include "comm/ByteOrder.h"
#include "package/CameraPackage.h"
#include "package/FileCompressor.h"
#include "package/FirmwareBuilder.h"
#include "package/FirmwarePackage.h"
#include "package/UpgradePkgPatch.h"

#include <QByteArray>
#include <QCryptographicHash>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLoggingCategory>
#include <QTextStream>

#include <QHash>
#include <memory>

using vexo::pc::CameraPackage;
using vexo::pc::FileCompressor;
using vexo::pc::FirmwareBuilder;
using vexo::pc::FirmwarePackage;
using vexo::pc::UpgradePkgPatch;

namespace zarvoctl {

namespace {

const char kUsage[] =
    "Usage: zarvoctl fw SUBCOMMAND [ARGS]\n"
    "  build OUT [--product P] [--branch B] [--platform PL] [--version V] [--status S]\n"
    "        [--soc N] [--size BYTES] [--seed N] [--revision R] [--no-camera]\n"
    "        [--combined PL1,PL2,...]\n"
    "                    write a synthetic firmware package (deterministic for a seed;\n"
    "                    --revision R edits the content as R rebuilds would, keeping sizes)\n"
    "  info PKG [--ugsys]  header and modules as JSON\n"
    "  verify PKG [--ugsys] exit 0 when the package is valid, 1 otherwise\n"
    "  ugsys PKG          write the updater package beside PKG\n"
    "  cut PKG OUT --dev IDS [--cam IDS]  package of the listed modules\n"
    "  updaterfs PKG OUT  extract the updater file system module\n"
    "  extract PKG PLATFORM OUTDIR  single-platform package (from a combined one)\n"
    "  head PKG OUT       patch head and its split offsets\n"
    "  diff OLD NEW PATCH one ENDSLEY/BSDIFF43 patch\n"
    "  patchlist OLD NEW OUT SPLIT... [--threads N]  bspt patch list (offsets in bytes)\n"
    "  compress IN OUT    lzma container\n"
    "  fetch [--software] [--dir DIR] [--server URL] [--product P] [--branch B]\n"
    "        [--platform PL] [--status S] [--version V]\n"
    "                    latest firmware of the selected camera (settings group\n"
    "                    product_info, or the options) or of this software, downloaded\n"
    "                    and checked; exit 0 when it is there and valid\n"
    "Options for every subcommand: -v/--verbose shows the informational log.\n"
    "Sizes and offsets accept a K, M or G suffix (powers of 1024) and 0x hex.\n";

QTextStream &out()
{
    static QTextStream s(stdout);
    return s;
}

QTextStream &err()
{
    static QTextStream s(stderr);
    return s;
}

int usage(const QString &why)
{
    err() << "zarvoctl fw: " << why << "\n" << kUsage;
    err().flush();
    return ExitUsage;
}

bool parseSize(const QString &text, qint64 *value)
{
    QString t = text.trimmed();
    qint64 mult = 1;
    if (t.endsWith(QLatin1Char('K'), Qt::CaseInsensitive))
        mult = 1024;
    else if (t.endsWith(QLatin1Char('M'), Qt::CaseInsensitive))
        mult = 1024 * 1024;
    else if (t.endsWith(QLatin1Char('G'), Qt::CaseInsensitive))
        mult = 1024ll * 1024 * 1024;
    if (mult != 1)
        t.chop(1);
    bool ok = false;
    const qint64 v = t.toLongLong(&ok, 0);
    if (!ok || v < 0)
        return false;
    *value = v * mult;
    return true;
}

bool parseIdList(const QString &text, QList<quint32> *ids)
{
    ids->clear();
    for (const QString &part : text.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
        bool ok = false;
        const uint v = part.trimmed().toUInt(&ok, 0);
        if (!ok)
            return false;
        ids->append(v);
    }
    return true;
}

// Splits arguments into positionals and --options. Options listed in
// valued take the next argument as their value.
struct Parsed
{
    QStringList positional;
    QHash<QString, QString> options;
    QString error;
};

Parsed parseArgs(const QStringList &args, const QStringList &valued, const QStringList &flags)
{
    Parsed p;
    for (int i = 0; i < args.size(); ++i) {
        const QString &a = args.at(i);
        if (a == QLatin1String("-v") || a == QLatin1String("--verbose"))
            continue;
        if (a.startsWith(QLatin1String("--"))) {
            const QString name = a.mid(2);
            if (valued.contains(name)) {
                if (i + 1 >= args.size()) {
                    p.error = QStringLiteral("option --%1 needs a value").arg(name);
                    return p;
                }
                p.options.insert(name, args.at(++i));
            } else if (flags.contains(name)) {
                p.options.insert(name, QString());
            } else {
                p.error = QStringLiteral("unknown option %1").arg(a);
                return p;
            }
        } else {
            p.positional.append(a);
        }
    }
    return p;
}

QString hex(const QByteArray &bytes)
{
    return QString::fromLatin1(bytes.toHex());
}

using vexo::pc::le32;

QString cstr(const QByteArray &b, int off)
{
    return QString::fromLatin1(b.mid(off, 16).constData(), int(qstrnlen(b.constData() + off, 16)));
}

void printJson(const QJsonObject &obj)
{
    out() << QJsonDocument(obj).toJson(QJsonDocument::Indented);
    out().flush();
}

int cmdBuild(const QStringList &args)
{
    const Parsed p = parseArgs(args,
                               {QStringLiteral("product"), QStringLiteral("branch"),
                                QStringLiteral("platform"), QStringLiteral("version"),
                                QStringLiteral("status"), QStringLiteral("soc"),
                                QStringLiteral("size"), QStringLiteral("seed"),
                                QStringLiteral("revision"), QStringLiteral("combined")},
                               {QStringLiteral("no-camera")});
    if (!p.error.isEmpty())
        return usage(p.error);
    if (p.positional.size() != 1)
        return usage(QStringLiteral("build needs OUT"));

    FirmwareBuilder::Description d;
    d.product = p.options.value(QStringLiteral("product"), d.product);
    d.branch = p.options.value(QStringLiteral("branch"), d.branch);
    d.platform = p.options.value(QStringLiteral("platform"), d.platform);
    d.version = p.options.value(QStringLiteral("version"), d.version);
    d.status = p.options.value(QStringLiteral("status"), d.status);
    d.withCamera = !p.options.contains(QStringLiteral("no-camera"));
    quint8 v[4];
    if (!FirmwareBuilder::parseVersion(d.version, v))
        return usage(QStringLiteral("--version must be a.b.c.d with numbers 0..255"));
    for (const QString &s : {d.product, d.branch, d.platform, d.status})
        if (s.isEmpty() || s.toLatin1().size() > 15)
            return usage(QStringLiteral("names must be 1..15 characters"));
    bool ok = true;
    if (p.options.contains(QStringLiteral("soc"))) {
        const int soc = p.options.value(QStringLiteral("soc")).toInt(&ok);
        if (!ok || soc < -128 || soc > 127)
            return usage(QStringLiteral("--soc must be -128..127"));
        d.socVersion = qint8(soc);
    }
    if (p.options.contains(QStringLiteral("seed"))) {
        d.seed = p.options.value(QStringLiteral("seed")).toUInt(&ok, 0);
        if (!ok)
            return usage(QStringLiteral("--seed must be a number"));
    }
    if (p.options.contains(QStringLiteral("revision"))) {
        d.revision = p.options.value(QStringLiteral("revision")).toInt(&ok);
        if (!ok || d.revision < 0 || d.revision > 100)
            return usage(QStringLiteral("--revision must be 0..100"));
    }
    if (p.options.contains(QStringLiteral("size"))
        && !parseSize(p.options.value(QStringLiteral("size")), &d.size))
        return usage(QStringLiteral("--size must be a byte count"));

    QStringList platforms;
    if (p.options.contains(QStringLiteral("combined")))
        platforms = p.options.value(QStringLiteral("combined")).split(QLatin1Char(','),
                                                                      Qt::SkipEmptyParts);
    QByteArray data;
    if (platforms.isEmpty()) {
        data = FirmwareBuilder::syntheticPackage(d);
    } else {
        // One package per platform, back to back; each its own content.
        const quint32 seed = d.seed;
        for (int i = 0; i < platforms.size(); ++i) {
            d.platform = platforms.at(i);
            d.seed = seed + quint32(i);
            const QByteArray one = FirmwareBuilder::syntheticPackage(d);
            if (one.isEmpty()) {
                data.clear();
                break;
            }
            data += one;
        }
    }
    if (data.isEmpty())
        return usage(QStringLiteral("--size must be between 64K and 1G"));

    const QString path = p.positional.first();
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(data) != data.size()) {
        err() << "zarvoctl fw: cannot write " << path << ": " << f.errorString() << "\n";
        return ExitFailed;
    }
    f.close();
    out() << path << " " << data.size() << "\n";
    return ExitOk;
}

// Reads the headers without trusting them, so that a damaged package can
// still be looked at.
int cmdInfo(const QStringList &args)
{
    const Parsed p = parseArgs(args, {}, {QStringLiteral("ugsys")});
    if (!p.error.isEmpty())
        return usage(p.error);
    if (p.positional.size() != 1)
        return usage(QStringLiteral("info needs PKG"));
    const QString path = p.positional.first();
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) {
        err() << "zarvoctl fw: cannot open " << path << "\n";
        return ExitFailed;
    }
    const qint64 fileSize = f.size();
    const QByteArray h = f.read(256);
    if (h.size() != 256) {
        err() << "zarvoctl fw: " << path << " is shorter than a package header\n";
        return ExitFailed;
    }

    QJsonObject header;
    header.insert(QStringLiteral("magic"), QStringLiteral("0x%1").arg(le32(h, 0), 8, 16, QLatin1Char('0')));
    header.insert(QStringLiteral("data_offset"), qint64(le32(h, 4)));
    header.insert(QStringLiteral("total_size"), qint64(le32(h, 8)));
    header.insert(QStringLiteral("module_count"), qint64(le32(h, 12)));
    header.insert(QStringLiteral("product"), cstr(h, 16));
    header.insert(QStringLiteral("branch"), cstr(h, 32));
    header.insert(QStringLiteral("version"), QStringLiteral("%1.%2.%3.%4")
                                                 .arg(quint8(h.at(48)))
                                                 .arg(quint8(h.at(49)))
                                                 .arg(quint8(h.at(50)))
                                                 .arg(quint8(h.at(51))));
    header.insert(QStringLiteral("md5"), hex(h.mid(56, 16)));
    header.insert(QStringLiteral("platform"), cstr(h, 72));
    header.insert(QStringLiteral("status"), cstr(h, 88));
    header.insert(QStringLiteral("soc_version"), int(qint8(h.at(104))));
    header.insert(QStringLiteral("crc32"), qint64(le32(h, 252)));

    QJsonArray modules;
    const qint64 count = qMin<qint64>(le32(h, 12), fileSize / 256 - 1);
    for (qint64 i = 0; i < count; ++i) {
        f.seek(256 * (i + 1));
        const QByteArray m = f.read(256);
        if (m.size() != 256)
            break;
        QJsonObject mod;
        mod.insert(QStringLiteral("id"), qint64(le32(m, 0)));
        mod.insert(QStringLiteral("length"), qint64(le32(m, 4)));
        mod.insert(QStringLiteral("offset"), qint64(le32(m, 8)));
        mod.insert(QStringLiteral("crc32"), qint64(le32(m, 68)));
        mod.insert(QStringLiteral("md5"), hex(m.mid(72, 16)));
        if (le32(m, 152) || le32(m, 156)) {
            mod.insert(QStringLiteral("head_offset"), qint64(le32(m, 152)));
            mod.insert(QStringLiteral("head_length"), qint64(le32(m, 156)));
        }
        if (le32(m, 0) == FirmwarePackage::DEV_ID_CAMERA && le32(m, 8) + 256ll <= fileSize) {
            f.seek(le32(m, 8));
            const QByteArray c = f.read(256);
            QJsonObject cam;
            cam.insert(QStringLiteral("magic_ok"), le32(c, 0) == 0x43414D41u);
            cam.insert(QStringLiteral("data_offset"), qint64(le32(c, 4)));
            cam.insert(QStringLiteral("total_size"), qint64(le32(c, 8)));
            cam.insert(QStringLiteral("module_count"), qint64(le32(c, 12)));
            cam.insert(QStringLiteral("md5"), hex(c.mid(20, 16)));
            QJsonArray camModules;
            const qint64 camCount = qMin<qint64>(le32(c, 12), le32(m, 4) / 256);
            for (qint64 j = 0; j < camCount; ++j) {
                f.seek(le32(m, 8) + 256 * (j + 1));
                const QByteArray cm = f.read(256);
                if (cm.size() != 256)
                    break;
                QJsonObject o;
                o.insert(QStringLiteral("id"), qint64(le32(cm, 0)));
                o.insert(QStringLiteral("length"), qint64(le32(cm, 4)));
                o.insert(QStringLiteral("offset"), qint64(le32(cm, 8)));
                o.insert(QStringLiteral("md5"), hex(cm.mid(68, 16)));
                camModules.append(o);
            }
            cam.insert(QStringLiteral("modules"), camModules);
            mod.insert(QStringLiteral("camera"), cam);
        }
        modules.append(mod);
    }
    f.close();

    FirmwarePackage pkg(path, p.options.contains(QStringLiteral("ugsys")));
    QJsonObject result;
    result.insert(QStringLiteral("file"), QFileInfo(path).fileName());
    result.insert(QStringLiteral("file_size"), fileSize);
    result.insert(QStringLiteral("header"), header);
    result.insert(QStringLiteral("modules"), modules);
    result.insert(QStringLiteral("valid"), pkg.verifyFirmware());
    if (pkg.isVerified()) {
        result.insert(QStringLiteral("release_state"), pkg.releaseState());
        // A camera installs a package as it is: this is the digest of the
        // image it holds afterwards.
        QFile whole(path);
        if (whole.open(QIODevice::ReadOnly)) {
            QCryptographicHash sha(QCryptographicHash::Sha256);
            sha.addData(&whole);
            result.insert(QStringLiteral("image_sha256"), QString::fromLatin1(sha.result().toHex()));
        }
    }
    printJson(result);
    return ExitOk;
}

bool openVerified(const QString &path, bool ugsys, std::unique_ptr<FirmwarePackage> *pkg)
{
    pkg->reset(new FirmwarePackage(path, ugsys));
    if (!(*pkg)->verifyFirmware()) {
        err() << "zarvoctl fw: " << path << " is not a valid package\n";
        return false;
    }
    return true;
}

int cmdVerify(const QStringList &args)
{
    const Parsed p = parseArgs(args, {}, {QStringLiteral("ugsys")});
    if (!p.error.isEmpty())
        return usage(p.error);
    if (p.positional.size() != 1)
        return usage(QStringLiteral("verify needs PKG"));
    std::unique_ptr<FirmwarePackage> pkg;
    if (!openVerified(p.positional.first(), p.options.contains(QStringLiteral("ugsys")), &pkg))
        return ExitFailed;
    out() << "valid " << p.positional.first() << "\n";
    return ExitOk;
}

int cmdUgsys(const QStringList &args)
{
    const Parsed p = parseArgs(args, {}, {});
    if (!p.error.isEmpty())
        return usage(p.error);
    if (p.positional.size() != 1)
        return usage(QStringLiteral("ugsys needs PKG"));
    std::unique_ptr<FirmwarePackage> pkg;
    if (!openVerified(p.positional.first(), false, &pkg))
        return ExitFailed;
    if (!pkg->generateUgsysFwPackage())
        return ExitFailed;
    out() << pkg->ugsysPath() << "\n";
    return ExitOk;
}

int cmdCut(const QStringList &args)
{
    const Parsed p = parseArgs(args, {QStringLiteral("dev"), QStringLiteral("cam")},
                               {QStringLiteral("ugsys")});
    if (!p.error.isEmpty())
        return usage(p.error);
    QList<quint32> devIds;
    QList<quint32> camIds;
    if (p.positional.size() != 2 || !p.options.contains(QStringLiteral("dev")))
        return usage(QStringLiteral("cut needs PKG OUT --dev IDS"));
    if (!parseIdList(p.options.value(QStringLiteral("dev")), &devIds)
        || !parseIdList(p.options.value(QStringLiteral("cam")), &camIds))
        return usage(QStringLiteral("ids are comma-separated numbers"));
    std::unique_ptr<FirmwarePackage> pkg;
    if (!openVerified(p.positional.at(0), p.options.contains(QStringLiteral("ugsys")), &pkg))
        return ExitFailed;
    if (!pkg->generateFwPackage(devIds, camIds, p.positional.at(1)))
        return ExitFailed;
    out() << p.positional.at(1) << "\n";
    return ExitOk;
}

int cmdUpdaterfs(const QStringList &args)
{
    const Parsed p = parseArgs(args, {}, {QStringLiteral("ugsys")});
    if (!p.error.isEmpty())
        return usage(p.error);
    if (p.positional.size() != 2)
        return usage(QStringLiteral("updaterfs needs PKG OUT"));
    std::unique_ptr<FirmwarePackage> pkg;
    if (!openVerified(p.positional.at(0), p.options.contains(QStringLiteral("ugsys")), &pkg))
        return ExitFailed;
    if (!pkg->extractUpdaterfs(p.positional.at(1)))
        return ExitFailed;
    out() << p.positional.at(1) << "\n";
    return ExitOk;
}

int cmdExtract(const QStringList &args)
{
    const Parsed p = parseArgs(args, {}, {});
    if (!p.error.isEmpty())
        return usage(p.error);
    if (p.positional.size() != 3)
        return usage(QStringLiteral("extract needs PKG PLATFORM OUTDIR"));
    const QString path =
        FirmwarePackage::extractFirmware(p.positional.at(0), p.positional.at(1), p.positional.at(2));
    if (path.isEmpty())
        return ExitFailed;
    out() << path << "\n";
    return ExitOk;
}

int cmdHead(const QStringList &args)
{
    const Parsed p = parseArgs(args, {}, {QStringLiteral("ugsys")});
    if (!p.error.isEmpty())
        return usage(p.error);
    if (p.positional.size() != 2)
        return usage(QStringLiteral("head needs PKG OUT"));
    std::unique_ptr<FirmwarePackage> pkg;
    if (!openVerified(p.positional.at(0), p.options.contains(QStringLiteral("ugsys")), &pkg))
        return ExitFailed;
    QList<quint32> splits;
    if (!pkg->generateFwPatchHead(p.positional.at(1), splits))
        return ExitFailed;
    QJsonArray arr;
    for (const quint32 s : qAsConst(splits))
        arr.append(qint64(s));
    QJsonObject result;
    result.insert(QStringLiteral("head"), p.positional.at(1));
    result.insert(QStringLiteral("size"), QFileInfo(p.positional.at(1)).size());
    result.insert(QStringLiteral("splits"), arr);
    printJson(result);
    return ExitOk;
}

int cmdDiff(const QStringList &args)
{
    const Parsed p = parseArgs(args, {}, {});
    if (!p.error.isEmpty())
        return usage(p.error);
    if (p.positional.size() != 3)
        return usage(QStringLiteral("diff needs OLD NEW PATCH"));
    if (UpgradePkgPatch::generatePatchFile(p.positional.at(0), p.positional.at(1),
                                           p.positional.at(2))
        != 0)
        return ExitFailed;
    out() << p.positional.at(2) << " " << QFileInfo(p.positional.at(2)).size() << "\n";
    return ExitOk;
}

int cmdPatchList(const QStringList &args)
{
    const Parsed p = parseArgs(args, {QStringLiteral("threads")}, {});
    if (!p.error.isEmpty())
        return usage(p.error);
    if (p.positional.size() < 4)
        return usage(QStringLiteral("patchlist needs OLD NEW OUT SPLIT..."));
    QList<quint32> splits;
    for (int i = 3; i < p.positional.size(); ++i) {
        qint64 v = 0;
        if (!parseSize(p.positional.at(i), &v) || v > 0xFFFFFFFFll)
            return usage(QStringLiteral("split offsets are byte counts below 4G"));
        splits.append(quint32(v));
    }
    if (p.options.contains(QStringLiteral("threads"))) {
        bool ok = false;
        const int n = p.options.value(QStringLiteral("threads")).toInt(&ok);
        if (!ok || n < 0)
            return usage(QStringLiteral("--threads must be 0 (all cores) or more"));
        UpgradePkgPatch::setWorkerThreads(n);
    }
    if (!UpgradePkgPatch::bspatchListGenerate(p.positional.at(0), p.positional.at(1),
                                              p.positional.at(2), splits, 0))
        return ExitFailed;
    out() << p.positional.at(2) << " " << QFileInfo(p.positional.at(2)).size() << "\n";
    return ExitOk;
}

int cmdCompress(const QStringList &args)
{
    const Parsed p = parseArgs(args, {}, {});
    if (!p.error.isEmpty())
        return usage(p.error);
    if (p.positional.size() != 2)
        return usage(QStringLiteral("compress needs IN OUT"));
    if (!FileCompressor::fileCompress(p.positional.at(0), p.positional.at(1)))
        return ExitFailed;
    out() << p.positional.at(1) << " " << QFileInfo(p.positional.at(1)).size() << "\n";
    return ExitOk;
}

} // namespace

QString firmwareHelpLine()
{
    return QStringLiteral("  fw ...            firmware packages, patches and the compressed container"
                          " (zarvoctl fw --help)");
}

int runFirmwareCommand(const QStringList &args)
{
    if (args.isEmpty())
        return usage(QStringLiteral("missing subcommand"));
    const QString sub = args.first();
    if (sub == QLatin1String("--help") || sub == QLatin1String("-h")
        || sub == QLatin1String("help")) {
        out() << kUsage;
        out().flush();
        return ExitOk;
    }
    // The package code logs every step; a user sees the warnings and errors
    // (the reason of a refusal) unless asking for more.
    if (!args.contains(QStringLiteral("-v")) && !args.contains(QStringLiteral("--verbose")))
        QLoggingCategory::setFilterRules(QStringLiteral("default.debug=false\ndefault.info=false"));

    const QStringList rest = args.mid(1);
    int rc = ExitUsage;
    if (sub == QLatin1String("build"))
        rc = cmdBuild(rest);
    else if (sub == QLatin1String("info"))
        rc = cmdInfo(rest);
    else if (sub == QLatin1String("verify"))
        rc = cmdVerify(rest);
    else if (sub == QLatin1String("ugsys"))
        rc = cmdUgsys(rest);
    else if (sub == QLatin1String("cut"))
        rc = cmdCut(rest);
    else if (sub == QLatin1String("updaterfs"))
        rc = cmdUpdaterfs(rest);
    else if (sub == QLatin1String("extract"))
        rc = cmdExtract(rest);
    else if (sub == QLatin1String("head"))
        rc = cmdHead(rest);
    else if (sub == QLatin1String("diff"))
        rc = cmdDiff(rest);
    else if (sub == QLatin1String("patchlist"))
        rc = cmdPatchList(rest);
    else if (sub == QLatin1String("compress"))
        rc = cmdCompress(rest);
    else if (sub == QLatin1String("fetch"))
        rc = runFetchCommand(rest);
    else
        return usage(QStringLiteral("unknown subcommand %1").arg(sub));
    out().flush();
    err().flush();
    return rc;
}

} // namespace zarvoctl

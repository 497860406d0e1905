#include "camera/VirtualShell.h"

#include "camera/VirtualFileStore.h"

#include <QRegularExpression>

#include <lzma.h>

namespace vexo {
namespace pc {

bool VirtualShell::decodeLzmaFile(const QByteArray &in, QByteArray *out)
{
    lzma_stream s = LZMA_STREAM_INIT;
    if (lzma_alone_decoder(&s, UINT64_MAX) != LZMA_OK)
        return false;
    s.next_in = reinterpret_cast<const uint8_t *>(in.constData());
    s.avail_in = size_t(in.size());
    QByteArray buf(64 * 1024, '\0');
    lzma_ret r = LZMA_OK;
    out->clear();
    while (r == LZMA_OK) {
        s.next_out = reinterpret_cast<uint8_t *>(buf.data());
        s.avail_out = size_t(buf.size());
        r = lzma_code(&s, LZMA_FINISH);
        out->append(buf.constData(), buf.size() - int(s.avail_out));
    }
    lzma_end(&s);
    return r == LZMA_STREAM_END;
}

VirtualShell::VirtualShell(VirtualFileStore &files)
    : files_(files)
{
}

QList<QByteArray> VirtualShell::takeStarted()
{
    return std::exchange(started_, QList<QByteArray>());
}

QString VirtualShell::path(const QString &name) const
{
    if (name.startsWith(QLatin1Char('/')))
        return name;
    return (cwd_.endsWith(QLatin1Char('/')) ? cwd_ : cwd_ + QLatin1Char('/')) + name;
}

// Splits a command into words: blanks separate, double quotes group (with
// \$, \", \\ unescaped inside), > and >> stand alone.
QStringList VirtualShell::words(const QString &text, bool *ok)
{
    QStringList out;
    QString cur;
    bool have = false;
    *ok = true;
    for (int i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c == QLatin1Char('"')) {
            have = true;
            for (++i; i < text.size() && text.at(i) != QLatin1Char('"'); ++i) {
                if (text.at(i) == QLatin1Char('\\') && i + 1 < text.size()
                    && QStringLiteral("$\"\\").contains(text.at(i + 1)))
                    ++i;
                cur += text.at(i);
            }
            if (i >= text.size())
                *ok = false;
        } else if (c == QLatin1Char('>')) {
            if (have)
                out << cur;
            cur.clear();
            have = false;
            if (i + 1 < text.size() && text.at(i + 1) == QLatin1Char('>')) {
                out << QStringLiteral(">>");
                ++i;
            } else {
                out << QStringLiteral(">");
            }
        } else if (c.isSpace()) {
            if (have)
                out << cur;
            cur.clear();
            have = false;
        } else {
            cur += c;
            have = true;
        }
    }
    if (have)
        out << cur;
    return out;
}

QStringList VirtualShell::splitOutsideQuotes(const QString &text, const QString &sep)
{
    QStringList parts;
    QString cur;
    bool quoted = false;
    for (int i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (quoted && c == QLatin1Char('\\') && i + 1 < text.size()) {
            cur += c;
            cur += text.at(++i);
            continue;
        }
        if (c == QLatin1Char('"'))
            quoted = !quoted;
        if (!quoted && text.midRef(i, sep.size()) == sep) {
            parts << cur;
            cur.clear();
            i += sep.size() - 1;
            continue;
        }
        cur += c;
    }
    parts << cur;
    return parts;
}

bool VirtualShell::run(const QString &line)
{
    history_ << line;
    cwd_ = QStringLiteral("/"); // every line runs in a shell of its own
    QString text = line.trimmed();
    if (text.endsWith(QLatin1Char('&')) && !text.endsWith(QLatin1String("&&")))
        text.chop(1);
    for (const QString &list : splitOutsideQuotes(text, QStringLiteral(";"))) {
        for (const QString &part : splitOutsideQuotes(list, QStringLiteral("&&"))) {
            if (!part.trimmed().isEmpty() && !command(part.trimmed(), {})) {
                failed_ = part.trimmed();
                return false;
            }
        }
    }
    return true;
}

bool VirtualShell::runScript(const QByteArray &script, const QStringList &params)
{
    for (const QByteArray &l : script.split('\n')) {
        QString s = QString::fromLatin1(l).trimmed();
        if (s.isEmpty() || s.startsWith(QLatin1Char('#')))
            continue;
        if (s == QLatin1String("exit 0"))
            return true;
        for (int i = 0; i < params.size(); ++i)
            s.replace(QStringLiteral("$%1").arg(i + 1), params.at(i));
        if (!command(s, params))
            return false;
    }
    return true;
}

bool VirtualShell::command(const QString &cmd, const QStringList &params)
{
    // The join script, made of the four pieces the host sends.
    static const QRegularExpression join(QStringLiteral(
        R"(^for i in \$\(seq (\d+)\); do cat \$i \| while read -n 2 j; do echo -en "\\x\$j" >> (\S+); done; done$)"));
    const QRegularExpressionMatch m = join.match(cmd);
    if (m.hasMatch()) {
        const int count = m.captured(1).toInt();
        const QString target = path(m.captured(2));
        QByteArray out = files_.file(target);
        for (int i = 1; i <= count; ++i) {
            const QString piece = path(QString::number(i));
            if (!files_.contains(piece))
                return false;
            out += QByteArray::fromHex(files_.file(piece));
        }
        files_.put(target, out);
        return true;
    }

    bool ok = false;
    QStringList w = words(cmd, &ok);
    if (!ok || w.isEmpty())
        return false;
    const QString name = w.takeFirst();
    if (name == QLatin1String("cd")) {
        cwd_ = path(w.value(0));
        return true;
    }
    if (name == QLatin1String("echo")) {
        bool newline = true;
        while (!w.isEmpty() && w.first().startsWith(QLatin1Char('-'))) {
            newline = !w.first().contains(QLatin1Char('n'));
            w.removeFirst();
        }
        const int redirect = qMax(w.indexOf(QStringLiteral(">")), w.indexOf(QStringLiteral(">>")));
        const QString text = (redirect < 0 ? w : w.mid(0, redirect)).join(QLatin1Char(' '));
        const QByteArray bytes = text.toLatin1() + (newline ? "\n" : "");
        if (redirect < 0 || redirect + 1 >= w.size())
            return true; // to the console
        const QString target = path(w.at(redirect + 1));
        if (target.startsWith(QLatin1String("/proc/")))
            return true;
        files_.put(target, (w.at(redirect) == QLatin1String(">>") ? files_.file(target) : QByteArray()) + bytes);
        return true;
    }
    if (name == QLatin1String("cat")) {
        const QString src = path(w.value(0));
        if (!files_.contains(src) || w.value(1) != QLatin1String(">>") || w.size() < 3)
            return false;
        const QString dst = path(w.at(2));
        files_.put(dst, files_.file(dst) + files_.file(src));
        return true;
    }
    if (name == QLatin1String("mv")) {
        const QString src = path(w.value(0));
        if (!files_.contains(src) || w.size() != 2)
            return false;
        files_.put(path(w.at(1)), files_.take(src));
        return true;
    }
    if (name == QLatin1String("rm")) {
        for (const QString &arg : qAsConst(w)) {
            if (arg.startsWith(QLatin1Char('-')))
                continue;
            const QString p = path(arg);
            if (p.endsWith(QLatin1Char('*'))) {
                const QString prefix = p.left(p.size() - 1);
                for (const QString &k : files_.paths()) {
                    if (k.startsWith(prefix) && !k.mid(prefix.size()).contains(QLatin1Char('/')))
                        files_.remove(k);
                }
            } else {
                files_.remove(p);
            }
        }
        return true;
    }
    if (name == QLatin1String("lzma") && w.value(0) == QLatin1String("-d")) {
        const QString p = path(w.value(1));
        QByteArray plain;
        if (!p.endsWith(QLatin1String(".lzma")) || !decodeLzmaFile(files_.file(p), &plain))
            return false;
        files_.remove(p);
        files_.put(p.left(p.size() - 5), plain);
        return true;
    }
    if (name == QLatin1String("chmod"))
        return files_.contains(path(w.value(1)));
    if (name == QLatin1String("sleep") || name == QLatin1String("free") || name == QLatin1String("sync"))
        return true;
    if (name == QLatin1String("/bin/sh"))
        return files_.contains(path(w.value(0))) && runScript(files_.file(path(w.value(0))), w.mid(1));
    if (name.startsWith(QLatin1String("./"))) {
        const QString p = path(name.mid(2));
        if (!files_.contains(p))
            return false;
        started_ << files_.file(p);
        return true;
    }
    // A script file named by its path (/log/r HEX N).
    if (files_.contains(path(name)))
        return runScript(files_.file(path(name)), w);
    Q_UNUSED(params)
    return false;
}

} // namespace pc
} // namespace vexo

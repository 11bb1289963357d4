#include "script_test_support.h"

#include <zlib.h>

#include <vector>

std::string DescribeScripts(const TLumo_ScriptList& list, int indent) {
    std::string out;
    for (const TLumo_ProfileScript& action : list) {
        out += std::string(static_cast<size_t>(indent), ' ') + std::to_string(static_cast<int>(action.ActionType()));
        for (const QString& line : action.fValues)
            out += " |" + line.toStdString();
        out += "\n";
        if (!action.fIfYesList.empty() || !action.fIfNoList.empty()) {
            out += std::string(static_cast<size_t>(indent), ' ') + " yes:\n" +
                   DescribeScripts(action.fIfYesList, indent + 2);
            out += std::string(static_cast<size_t>(indent), ' ') + " no:\n" +
                   DescribeScripts(action.fIfNoList, indent + 2);
        }
    }
    return out;
}

QByteArray InflateStoredValue(const QString& hex) {
    const QByteArray packed = QByteArray::fromHex(hex.toLatin1());
    std::vector<unsigned char> out(1 << 20);
    uLongf size = static_cast<uLongf>(out.size());
    if (uncompress(out.data(), &size, reinterpret_cast<const Bytef*>(packed.constData()),
                   static_cast<uLong>(packed.size())) != Z_OK)
        return QByteArray("<not a zlib stream>");
    return QByteArray(reinterpret_cast<const char*>(out.data()), static_cast<qsizetype>(size));
}

QString DeflateToStoredValue(const QByteArray& bytes) {
    std::vector<unsigned char> out(compressBound(static_cast<uLong>(bytes.size())));
    uLongf size = static_cast<uLongf>(out.size());
    compress(out.data(), &size, reinterpret_cast<const Bytef*>(bytes.constData()), static_cast<uLong>(bytes.size()));
    return QString::fromLatin1(
        QByteArray(reinterpret_cast<const char*>(out.data()), static_cast<qsizetype>(size)).toHex().toUpper());
}

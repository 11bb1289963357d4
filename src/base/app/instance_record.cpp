#include "app/instance_record.h"

#include <QStringDecoder>
#include <QStringList>

namespace {

void PutU32(QByteArray& out, std::uint32_t value) {
    for (int shift = 24; shift >= 0; shift -= 8)
        out += static_cast<char>((value >> shift) & 0xFF);
}

std::uint32_t GetU32(const QByteArray& in, qsizetype at) {
    std::uint32_t value = 0;
    for (int i = 0; i < 4; ++i)
        value = (value << 8) | static_cast<unsigned char>(in[at + i]);
    return value;
}

bool IsUtf8(const QByteArray& bytes) {
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = decoder(bytes);
    return !decoder.hasError();
}

} // namespace

QByteArray EncodeInstanceRecord(const TInstanceRecord& record) {
    QByteArray out;
    out.reserve(8 + record.Text.size() + 1);
    PutU32(out, record.Kind);
    PutU32(out, static_cast<std::uint32_t>(record.Text.size() + 1));
    out += record.Text;
    out += '\0';
    return out;
}

TInstanceRecordReader::Status TInstanceRecordReader::Next(TInstanceRecord& record) {
    if (fBuffer.size() < 8)
        return Status::NeedMore;
    const std::uint32_t size = GetU32(fBuffer, 4);
    if (size == 0 || size > kInstanceRecordMaxData)
        return Status::Malformed;
    if (fBuffer.size() < 8 + static_cast<qsizetype>(size))
        return Status::NeedMore;
    QByteArray text = fBuffer.mid(8, size - 1);
    if (fBuffer[8 + size - 1] != '\0' || text.contains('\0') || !IsUtf8(text))
        return Status::Malformed;
    record.Kind = GetU32(fBuffer, 0);
    record.Text = std::move(text);
    fBuffer.remove(0, 8 + size);
    return Status::Complete;
}

QString InstanceCommandText(const QStringList& parameters) {
    QString text;
    for (const QString& parameter : parameters)
        text += parameter + QLatin1Char(' ');
    return text;
}

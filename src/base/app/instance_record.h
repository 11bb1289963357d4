#pragma once

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <optional>

// What travels over the instance channel. A record is the kind (4 bytes,
// big-endian), the data size (4 bytes, big-endian: the text's bytes + 1),
// then the text in UTF-8 and one zero byte. Requests and answers have the
// same form; an answer's kind is its result.
struct TInstanceRecord {
    std::uint32_t Kind = 0;
    QByteArray Text; // without the closing zero byte
};

// Kinds of the requests.
enum TInstanceKind : std::uint32_t {
    kInstanceShow = 2,        // a later start without parameters
    kInstanceCommandLine = 3, // a later start with parameters: the text is its command line
    kInstanceCliRuns = 4,     // norvane-backup-cli run/analyse: JSON {onlyScan, entries, uids}
    kInstanceCliStop = 5,     // stop the runs of the request on the same connection
};

inline constexpr std::uint32_t kInstanceRecordMaxData = 1u << 20;

QByteArray EncodeInstanceRecord(const TInstanceRecord& record);

// Cuts records off a byte stream as they arrive.
class TInstanceRecordReader {
public:
    enum class Status { NeedMore, Complete, Malformed };
    // Appends bytes to what has arrived.
    void Feed(const QByteArray& bytes) { fBuffer += bytes; }
    // Complete: record holds the next record, taken off the stream. Malformed:
    // the stream cannot be read on (a size beyond the limit, a missing closing
    // zero, a zero byte inside the text, text that is not UTF-8).
    Status Next(TInstanceRecord& record);

private:
    QByteArray fBuffer;
};

// The text of the later start's parameters: each parameter followed by one space.
QString InstanceCommandText(const QStringList& parameters);

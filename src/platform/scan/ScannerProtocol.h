#pragma once
// The messages between the program and its scanner helper. Each message is a 32-bit length
// (host order) and that many bytes in QDataStream's format. The program reads every answer
// through the readers below: an answer that is short, too long or holds a value out of range
// is a protocol error, never a value read as zero ("Good").
#include "platform/scan/Scanner.h"

#include <QByteArray>
#include <QDataStream>

#include <optional>

namespace platform::scanproto {

enum class Op : quint8 {
    BeginSession = 1, EndSession, Devices, Open, Close, Option, SetOption, Start, Parameters, Read,
    Cancel, Quit,
};

// The largest message either side accepts: a read answer of kMaxReadBytes and its framing,
// or a device list.
constexpr int kMaxReadBytes = 1024 * 1024;
constexpr quint32 kMaxMessage = 4u * 1024 * 1024;

void prepare(QDataStream &s);

// Option values travel as a tag and a bool, a double or a string, nothing else.
void writeValue(QDataStream &s, const QVariant &v);
void readValue(QDataStream &s, QVariant &v);

QDataStream &operator<<(QDataStream &s, const ScanDevice &d);
QDataStream &operator<<(QDataStream &s, const ScanOption &o);
QDataStream &operator<<(QDataStream &s, const ScanParameters &p);
void writeDevices(QDataStream &s, const QList<ScanDevice> &devices);

// Readers of the helper's answers; false on a protocol error.
bool readStatus(const QByteArray &answer, int &status);
bool readDevices(const QByteArray &answer, int &status, QList<ScanDevice> &out);
bool readOpen(const QByteArray &answer, int &status, qint32 &id);
bool readOption(const QByteArray &answer, std::optional<ScanOption> &out);
bool readParameters(const QByteArray &answer, int &status, ScanParameters &out);
// A read answer: a status and at most maxLength bytes; Good comes with at least one byte.
bool readData(const QByteArray &answer, int maxLength, int &status, QByteArray &data);

} // namespace platform::scanproto

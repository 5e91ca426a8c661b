#pragma once
#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>
#include <array>
#include <vector>

#include "core/common/ChannelCount.h"
#include "core/record/RecordStore.h"

// The journal of an open record: a UTF-8 text file of lines ending in "\n", fields separated
// by tabs, in which a backslash, tab, line feed and carriage return inside a field are written
// "\\", "\t", "\n" and "\r". The first line is the magic, the version and the record's stamp;
// every later line starts with its kind:
//
//   VOLTRIX-JOURNAL  1  20261207_024638
//   N  <name 1> .. <name 6>                      the channel names of the header
//   C  <channel> <function> <prefix> <divisor>    a channel's captions, whenever they change
//   R  <row> <index> <date>                       the index and date cells a row got when opened
//   S  <channel> <row> <time> <value> <unit> <divisor>
//                                                 a sample (channel 0..5, grid row from 1) and
//                                                 the divisor of its reading (1, 10, 100, 1000)
//
// Samples come in the order the table took them, so replaying them rebuilds the table, its
// counters included. A reader stops at the first line that is incomplete or does not parse
// (a crash mid-write leaves at most a damaged tail) and keeps everything before it.
namespace RecordJournal
{

inline constexpr char Magic[] = "VOLTRIX-JOURNAL";
inline constexpr int Version = 1;
// "<stamp>.journal" in the records folder; one renamed "<name>.discarded" is never read again.
inline constexpr char Suffix[] = ".journal";
inline constexpr char DiscardedSuffix[] = ".discarded";

// Line builders for the writer; each appends one whole line to `out`.
void appendHeader(QByteArray &out, const QString &stamp);
void appendChannelNames(QByteArray &out, const std::array<QString, ChannelCount> &names);
void appendCaptions(QByteArray &out, int channel, const QString &function, const QString &prefix,
                    const QString &divisor);
void appendRowOpened(QByteArray &out, int row, const QString &index, const QString &date);
void appendSample(QByteArray &out, int channel, int row, const QString &time, const QString &value,
                  const QString &unit, int divisor);

using Row = std::array<QString, RecordStore::ColumnCount>;

// What a journal file holds, replayed as the table took it.
struct Content {
    enum class Header {
        Missing, // no complete first line: the file was cut before anything was written
        Foreign, // not a journal of this version
        Valid,
    };
    Header header = Header::Missing;
    QString stamp; // "yyyymmdd_hhnnss"
    std::array<QString, ChannelCount> channelNames;
    std::array<QString, ChannelCount> functionCaption;
    std::array<QString, ChannelCount> prefixCaption;
    std::array<QString, ChannelCount> divisorCaption;
    std::vector<Row> rows{Row{}}; // grid rows 1..sampleRows
    // The divisor of each sample's reading, by grid row (from 1) and channel.
    std::vector<std::array<int, ChannelCount>> divisors{std::array<int, ChannelCount>{}};
    int sampleRows = 1;
    std::array<int, ChannelCount> nextRow{1, 1, 1, 1, 1, 1};
    int samples = 0;
    bool tailDropped = false; // a damaged tail was left out

    int channelCount() const;
};

Content read(QByteArrayView bytes);

// Puts the journal's record into `store` exactly as it stood: cells, header names, captions,
// counters and stamp.
void rebuild(const Content &content, RecordStore &store);

} // namespace RecordJournal

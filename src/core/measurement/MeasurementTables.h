#pragma once
#include <QString>

// The constant tables of measuring functions, range prefixes and their limits.
namespace Measurement
{

constexpr int FunctionCount = 10; // DCV ACV DCA ACA OHM CAP Hz Duty Diode Continuity
constexpr int PrefixCount = 6;    // n u m (none) K M
constexpr int NoPrefix = 3;

enum Function : qint16 { DCV = 0, ACV, DCA, ACA, OHM, CAP, Hz, Duty, Diode, Continuity };

// The seconds between a meter's readings, by interval code; the codes above name no interval.
constexpr int IntervalCodeCount = 5;
constexpr int IntervalSecondsByCode[IntervalCodeCount] = {2, 10, 30, 60, 120};
// The reporting interval a frame's interval code announces; 0 for a code that names none.
constexpr int intervalSeconds(int intervalCode)
{
    return intervalCode >= 0 && intervalCode < IntervalCodeCount ? IntervalSecondsByCode[intervalCode] : 0;
}

QString functionName(int functionCode); // "" outside 0..9
QString unitText(int functionCode);     // "V", "A", "\u03A9", "F", "Hz", "%"
QString prefixText(int prefixCode);     // "" outside 0..5 and for 3
float prefixFactor(int prefixCode);     // 1e-9 .. 1e6; 1 outside 0..5
float lowLimit(int functionCode);  // functionLimits(0, f)
float highLimit(int functionCode); // functionLimits(1, f)
QString limitFormat(int functionCode);

// Function code for a function name (exact, case-sensitive), -1 when none matches.
int functionCodeOf(const QString &name);
// Range prefix code from the first character of a unit text: n 0, u 1, m 2, K 4, M 5, else 3.
int prefixCodeOfUnit(const QString &unit);

struct DisplayLimits {
    double lower = 0;
    double upper = 0;
};
// The display limits of a function in a prefix's unit; false (limits untouched) when the
// function code is outside 0..9.
bool displayLimits(int functionCode, int prefixCode, DisplayLimits *limits);

// The optional label file, written by hand: its label (the window title's prefix) is the last
// comma- or line-separated item, surrounding quotes removed.
struct LabelFile {
    enum class Status { Missing, Read, Unreadable };
    Status status = Status::Missing;
    QString label; // empty unless read
};
constexpr qint64 MaxLabelFileBytes = 64 * 1024;
constexpr int MaxLabelLineLength = 1024;
// Unreadable: the file cannot be opened, or it is not short text, i.e. it holds control
// characters other than tabs and line ends (binary data; bytes that are neither UTF-8 nor
// Latin-1 text), a line longer than MaxLabelLineLength characters, or more than
// MaxLabelFileBytes.
LabelFile readLabelFile(const QString &path);

} // namespace Measurement

#include "support/RecordFixture.h"

#include <QTime>

#include "core/common/NumberFormat.h"
#include "core/record/RecordJournal.h"
#include "core/record/RecordStore.h"
#include "core/workbook/XlsxReader.h"

void fillRecord(RecordStore &store, int samples, int channels)
{
    store.clearRecord({QStringLiteral("Ch1"), QStringLiteral("Ch2"), QStringLiteral("Ch3"),
                       QStringLiteral("Ch4"), QStringLiteral("Ch5"), QStringLiteral("Ch6")});
    store.setGridRowCount(samples + 2);
    const QTime start(15, 12, 30);
    for (int row = 1; row <= samples; ++row) {
        store.setCell(row, 0, QStringLiteral("%1").arg(row, 4, 10, QLatin1Char('0')));
        store.setCell(row, 1, QStringLiteral("05/12/2026"));
        const QString time = start.addSecs(2 * (row - 1)).toString(QStringLiteral("hh:mm:ss"));
        for (int channel = 0; channel < channels; ++channel) {
            store.setCell(row, RecordStore::timeColumn(channel), time);
            store.setCell(row, RecordStore::valueColumn(channel),
                          QString::number((row * 7 + channel) % 2000 - 999.5));
            store.setCell(row, RecordStore::unitColumn(channel), QStringLiteral("mV"));
        }
    }
}

namespace
{
QString asNumber(const QString &text)
{
    bool numeric = false;
    const double number = NumberFormat::parseNumber(text, &numeric);
    return numeric ? QString::number(number) : text;
}
} // namespace

QStringList tableValues(const RecordStore &record, int channel)
{
    QStringList values;
    for (int row = 1; row < record.gridRowCount(); ++row) {
        const QString text = record.cell(row, RecordStore::valueColumn(channel));
        if (!text.isEmpty()) values << asNumber(text);
    }
    return values;
}

QStringList workbookValues(const QString &path, int channel)
{
    SheetCells cells;
    QString error;
    if (!XlsxReader().read(path, &cells, &error)) return {error};
    QStringList values;
    for (int row = 8; row <= cells.rowCount(); ++row) {
        const SheetCell cell = cells.at(row, 3 * channel + 4);
        if (cell.type == SheetCell::Type::Number) values << QString::number(cell.number);
        if (cell.type == SheetCell::Type::Text) values << asNumber(cell.text);
    }
    return values;
}

QStringList recordText(const RecordStore &record)
{
    QStringList out;
    for (int row = 0; row < record.gridRowCount(); ++row) {
        QStringList cells;
        for (int column = 0; column < RecordStore::ColumnCount; ++column)
            cells << record.cell(row, column);
        out << cells.join(u'|');
    }
    out << QStringLiteral("sampleRows %1 channels %2").arg(record.sampleRows()).arg(record.channelCount());
    for (int k = 0; k < 6; ++k)
        out << QStringLiteral("channel %1: next %2, %3 %4 %5")
                   .arg(k)
                   .arg(record.nextRow(k))
                   .arg(record.functionCaption[std::size_t(k)], record.prefixCaption[std::size_t(k)],
                        record.divisorCaption[std::size_t(k)]);
    return out << record.stamp();
}

QByteArray countingJournal(int rows, int channels, int first)
{
    QByteArray out;
    RecordJournal::appendHeader(out, QStringLiteral("20261207_024638"));
    RecordJournal::appendChannelNames(out, {"Ch1", "Ch2", "Ch3", "Ch4", "Ch5", "Ch6"});
    for (int k = 0; k < channels; ++k)
        RecordJournal::appendCaptions(out, k, "DCV", "3", "1");
    const QString date = RecordStore::shortDate(QDate(2026, 12, 7));
    for (int row = 1; row <= rows; ++row) {
        RecordJournal::appendRowOpened(out, row, QString::number(row).rightJustified(4, u'0'), date);
        const QString time = QTime(2, 46, 38).addSecs(row).toString(QStringLiteral("hh:mm:ss"));
        for (int k = 0; k < channels; ++k)
            RecordJournal::appendSample(out, k, row, time, QString::number(first + row - 1), "V", 1);
    }
    return out;
}

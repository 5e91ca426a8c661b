// The Setup and Options dialogs, the save dialog, the progress window, the power cost window and
// the Help menu, driven through their controls in the frame window; the store, the settings and
// the other windows checked after.
#include <QCheckBox>
#include <QComboBox>
#include <QDesktopServices>
#include <QFileDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QPlainTextEdit>
#include <QTabWidget>
#include <QTableWidget>
#include <QtTest>
#include <optional>

#include "core/acquisition/AcquisitionState.h"
#include "core/common/AppPaths.h"
#include "core/help/AboutBox.h"
#include "core/link/FrameEncoder.h"
#include "core/measurement/MeasurementTables.h"
#include "core/monitor/MonitorFields.h"
#include "core/record/RecordStore.h"
#include "core/settings/Settings.h"
#include "support/ModalDialog.h"
#include "support/RecordingSession.h"
#include "ui/help/FmAbout.h"
#include "ui/help/HelpCommands.h"
#include "ui/monitor/FmMonitor.h"
#include "ui/power/FmPower.h"
#include "ui/setup/ColorSwatch.h"
#include "ui/setup/Fmoption.h"
#include "ui/setup/fmsetup.h"
#include "ui/shell/MainFm.h"
#include "ui/shell/QtPrompts.h"
#include "ui/table/FmGrid.h"

namespace
{

// Catches what the program hands to the desktop's document handler.
class OpenedUrls : public QObject
{
    Q_OBJECT
public:
    QList<QUrl> urls;
public Q_SLOTS:
    void open(const QUrl &url) { urls << url; }
};

// A current reading of 10 A on channel 1.
QByteArray tenAmperes()
{
    FrameEncoder::Header header;
    header.functionCode = Measurement::DCA;
    header.decimalCode = FrameEncoder::Divisor100;
    return FrameEncoder::encodeReading(header, 1000);
}

QWidget *control(const QWidget *dialog, const QString &name)
{
    auto *widget = dialog->findChild<QWidget *>(name);
    if (!widget) qWarning() << "no control" << name;
    return widget;
}

template <typename T> T *control(const QWidget *dialog, const QString &name)
{
    return qobject_cast<T *>(control(dialog, name));
}

// What the blank-separated controls show, joined by "|": a check box or button "x" (checked)
// or "o", a text field or list its text, a colour swatch its colour; "~" before a disabled one.
QString look(const QWidget *dialog, const char *names)
{
    QStringList shown;
    for (const QString &name : QString::fromLatin1(names).split(u' ')) {
        const QWidget *widget = control(dialog, name);
        QString text = widget->isEnabled() ? QString() : QStringLiteral("~");
        if (auto *button = qobject_cast<const QAbstractButton *>(widget))
            text += button->isChecked() ? u'x' : u'o';
        else if (auto *line = qobject_cast<const QLineEdit *>(widget))
            text += line->text();
        else if (auto *list = qobject_cast<const QComboBox *>(widget))
            text += list->currentText();
        else if (auto *swatch = qobject_cast<const ColorSwatch *>(widget))
            text += swatch->color().name();
        shown << text;
    }
    return shown.join(u'|');
}

// The captions of the blank-separated buttons, joined by "|".
QString captions(const QWidget *dialog, const char *names)
{
    QStringList texts;
    for (const QString &name : QString::fromLatin1(names).split(u' '))
        texts << control<QAbstractButton>(dialog, name)->text();
    return texts.join(u'|');
}

void click(QWidget *widget)
{
    QTest::mouseClick(widget, Qt::LeftButton, {}, QPoint(4, 4));
}

void type(QWidget *dialog, const char *name, const QString &keys)
{
    auto *field = control<QLineEdit>(dialog, QLatin1String(name));
    field->clear();
    QTest::keyClicks(field, keys);
}

} // namespace

class TestDialogs : public QObject
{
    Q_OBJECT
    QTemporaryDir m_assets;
    std::optional<RecordingSession> m_rig;
    std::optional<MainFm> m_frame;

    void trigger(const char *item) { m_frame->menuItem(QLatin1String(item))->trigger(); }
    template <typename Dialog> Dialog *open(const char *command)
    {
        trigger(command);
        auto *dialog = m_frame->findChild<Dialog *>();
        return dialog && dialog->isVisible() ? dialog : nullptr;
    }
    // Presses OK or Cancel and waits for the dialog to go.
    static void close(QDialog *dialog, const char *button)
    {
        QPointer<QDialog> shown(dialog);
        click(control(dialog, QLatin1String(button)));
        QTRY_VERIFY(!shown);
    }
    QString stored(const char *keys) const
    {
        QStringList values;
        for (const QString &key : QString::fromLatin1(keys).split(u' '))
            values << m_rig->store.get(key, QStringLiteral("?"));
        return values.join(u'|');
    }
    void recordCurrent()
    {
        m_rig->start();
        m_rig->feed(tenAmperes());
        QCOMPARE(m_rig->session.state().main.function, Measurement::DCA);
    }

private Q_SLOTS:
    void initTestCase() { AppPaths::setAssetFolderOverride(m_assets.path()); }
    void init()
    {
        m_frame.reset(); // the window goes before the session it shows
        m_rig.emplace();
        m_frame.emplace(m_rig->session);
        m_frame->show();
    }
    void cleanupTestCase() { m_frame.reset(), AppPaths::setAssetFolderOverride(QString()); }

    // Every caption of the Setup dialog, and its first-run load without a recording: auto scan
    // with the port buttons greyed, the alarm part off.
    void setupCaptionsAndLoad()
    {
        auto *dialog = open<fmsetup>("mnsetup");
        QVERIFY(dialog);
        QCOMPARE(dialog->windowTitle(), QStringLiteral("Setup"));
        QCOMPARE(captions(dialog, "Check1(0) Check1(1) Option1(0) Option1(15) Check2 Option2(0) Option2(1) "
                                  "Command1 Command2 Command3"),
                 QStringLiteral(
                     "Auto scan  com port|Select  port|Com 1|Com 16|Alarm  : |Hi|Low|OK|Cancel|Default"));
        QStringList texts;
        for (const QGroupBox *frame : dialog->findChildren<QGroupBox *>())
            texts << frame->title();
        for (const QLabel *label : dialog->findChildren<QLabel *>())
            texts << label->text();
        for (const char *text : {"Com port", "Alarm setting", "Graph scales", "Channel", "Power rate",
                                 "Unit :", "Time axial scales : ", "Display  Name", "Serial Number ", "Place",
                                 "Channel 1", "Channel 6", "V", "P.F", "Unit price    "})
            QVERIFY2(texts.contains(QLatin1String(text)), text);
        auto *scale = control<QComboBox>(dialog, "Combo1(1)");
        auto *factor = control<QComboBox>(dialog, "Combo3");
        QCOMPARE(QStringList({scale->itemText(0), scale->itemText(7), QString::number(scale->count()),
                              factor->itemText(0), factor->itemText(3),
                              QString::number(control<QLineEdit>(dialog, "Text4(5)")->maxLength())}),
                 QStringList({"25", "200", "8", "0.8", "Input field", "10"}));
        for (const char *box : {"Text1(0)", "Text1(1)", "Text5(0)", "Text5(1)"})
            QCOMPARE(control(dialog, box)->contextMenuPolicy(), Qt::NoContextMenu);
        QCOMPARE(look(dialog, "Check1(0) Check1(1) Option1(0) Check2 Text1(0) Combo1(1) Text5(0) Combo3"),
                 QStringLiteral("x|o|~x|~o|~100|25|110|0.8"));
    }
    void okSavesAndUpdatesTheWindows()
    {
        auto *dialog = open<fmsetup>("mnsetup");
        click(control(dialog, "Check1(1)"));
        QCOMPARE(look(dialog, "Check1(0) Option1(9)"), QStringLiteral("o|o")); // one of the pair
        click(control(dialog, "Option1(4)"));
        control<QComboBox>(dialog, "Combo1(1)")->setCurrentIndex(1);
        type(dialog, "Text2(0)", QStringLiteral(" Motor 12345")); // 8 characters at most
        type(dialog, "Text5(0)", QStringLiteral("2a3-0"));        // digits and the point only
        auto *price = control<QLineEdit>(dialog, "Text5(1)");
        price->setText(QStringLiteral("5"));
        price->setCursorPosition(0);
        QTest::keyClicks(price, QStringLiteral(".")); // shown as typed, saved with its zero
        auto *factor = control<QComboBox>(dialog, "Combo3")->lineEdit();
        factor->selectAll(); // "0.8", replaced by what is typed: the point after a zero
        QTest::keyClicks(factor, QStringLiteral("."));
        QCOMPARE(look(dialog, "Text5(1) Combo3"), QStringLiteral(".5|0."));
        QTest::keyClicks(factor, QStringLiteral("95"));
        close(dialog, "Command1");
        QCOMPARE(
            stored("setup_selePort setup_autoScan setup_commp setup_YScale Channel_n1 Channel_n2 Power_V "
                   "Power_Unit Power_cos setup_Alarm"),
            QStringLiteral("1|0|4|1| Motor 1|Ch2|230|0.5|0.95|0"));
        QCOMPARE(m_rig->session.settings().timeAxisFactor, 0.5f);
        QCOMPARE(m_rig->session.state().link.selectedPort, 4);
        QCOMPARE(m_rig->session.record().cell(0, RecordStore::valueColumn(0)), QStringLiteral("Motor 1"));
        // Opened again, the dialog shows what was saved.
        QCOMPARE(look(open<fmsetup>("mnsetup"), "Text2(0) Option1(4)"), QStringLiteral(" Motor 1|x"));
    }
    // Default, then Cancel, in either dialog: nothing stored or shown changes, the alarm of the
    // current being recorded included (the stored one is not armed by the way).
    void defaultThenCancelChangesNothing()
    {
        m_rig->store.save(QStringLiteral("setup_Alarm"), QStringLiteral("1"));
        m_rig->store.save(QStringLiteral("setup_T1Hi"), QStringLiteral("2.7"));
        recordCurrent();
        const auto alarm = [this] {
            const MonitorFields &monitor = m_rig->session.monitor();
            return QStringList{monitor.alarmLimits.high, monitor.alarmLimits.highUnit,
                               QString::number(monitor.armedImageVisible),
                               QString::number(m_rig->session.state().main.alarmEnabled)};
        };
        const QStringList before = alarm();
        auto *setup = open<fmsetup>("mnsetup");
        control<QLineEdit>(setup, "Text3(2)")->setText(QStringLiteral("SN-9"));
        click(control(setup, "Command3"));
        QCOMPARE(look(setup, "Combo1(1) Text3(2) Text5(0)"), QStringLiteral("100|-|110"));
        close(setup, "Command2");
        QCOMPARE(alarm(), before);
        auto *options = open<Fmoption>("mnoption");
        auto *tabs = control<QTabWidget>(options, "SSTab1");
        tabs->setCurrentIndex(2);
        click(control(options, "Check1(0)")); // grid lines off
        tabs->setCurrentIndex(1);
        click(control(options, "Command3(1)")); // the graph's defaults show the title
        QCOMPARE(look(options, "Check1(1) Check2(3) Text1"), QStringLiteral("~x|x|ABC"));
        close(options, "Command2");
        QCOMPARE(stored("setup_YScale Channel_sn3 Grid_lineCk setup_Alarm"), QStringLiteral("?|?|?|1"));
        QCOMPARE(m_rig->session.settings().YScale, 0);
        QCOMPARE(m_rig->session.settings().Grid_lineCk, 1);
        QCOMPARE(m_frame->gridWindow()->lineStyle(), GridStyle::LineStyle::Flat);
    }
    // While a current records: the alarm limit takes every digit typed and rounds when left, a
    // minus inside a number is refused with its message; the power window then shows the channel
    // and rates of OK and counts the cost, the rates locked while it runs.
    void limitsAndPowerWhileRecording()
    {
        recordCurrent();
        auto *dialog = open<fmsetup>("mnsetup");
        QCOMPARE(look(dialog, "Check2 Combo2 Text1(0)"), QStringLiteral("o|~A|~100"));
        click(control(dialog, "Check2"));
        type(dialog, "Text1(0)", QStringLiteral("12.3456"));
        QCOMPARE(look(dialog, "Text1(0)"), QStringLiteral("12.3456"));
        m_rig->prompts.clear();
        QTest::keyClicks(control(dialog, "Text1(0)"), QStringLiteral("-"));
        QCOMPARE(m_rig->prompts.messageTexts(), QStringList({"Data entry error ! "}));
        QCOMPARE(m_rig->prompts.lastCall().buttons, Prompts::Buttons::Ok);
        QCOMPARE(look(dialog, "Text1(0)"), QStringLiteral("100"));
        type(dialog, "Text1(0)", QStringLiteral("1a2.95678"));
        control<QLineEdit>(dialog, "Text5(0)")->setText(QStringLiteral("100"));
        control<QComboBox>(dialog, "Combo3")->setCurrentIndex(2); // "1.0"
        control<QLineEdit>(dialog, "Text5(1)")->setText(QStringLiteral("10"));
        control<QLineEdit>(dialog, "Text3(0)")->setText(QStringLiteral("A-17"));
        control<QComboBox>(dialog, "Combo4(0)")->setCurrentIndex(1); // its own voltage: refused, told why
        m_rig->prompts.clear();
        click(control(dialog, "Command1"));
        QCOMPARE(m_rig->prompts.messageTexts(),
                 QStringList({"Channel 1 cannot take its voltage from itself."}));
        QVERIFY(dialog->isVisible());
        control<QComboBox>(dialog, "Combo4(0)")->setCurrentIndex(0);
        close(dialog, "Command1"); // the limit rounded to one decimal for a current
        QCOMPARE(stored("setup_Alarm setup_T1Hi"), QStringLiteral("1|13.0"));
        QVERIFY(m_rig->session.state().main.alarmEnabled);
        FmMonitor *monitor = m_frame->monitorWindow();
        monitor->renderNow();
        const auto field = [monitor](const char *name) {
            return monitor->field(QLatin1String(name))->text();
        };
        QCOMPARE(field("Label8(2)") + field("Label8(4)") + field("Label8(3)"), QStringLiteral("13.0A-"));
        trigger("mnpower");
        FmPower *power = m_frame->powerWindow();
        QTRY_VERIFY(power->isVisible());
        const auto values = [power] {
            QStringList texts;
            for (int i = 0; i < 8; ++i)
                texts << power->valueLabel(i)->text();
            return texts;
        };
        QCOMPARE(values(), QStringList({"Ch1", "A-17", "-", "100", "1.0", "10", "0", "0"}));
        m_rig->feed(tenAmperes());                // the first step starts the clock
        for (int step = 0; step < 1800; ++step) { // every 2 s, the meter's interval
            m_rig->clock.advance(2000);
            m_rig->feed(tenAmperes());
        }
        QCOMPARE(values().mid(6), QStringList({"0:1:0:0", "10.00"})); // 1 kWh at 10
        // The energy table under the fields: the channel's row and the total, for the record.
        QTableWidget *energy = power->energyTable(0);
        QStringList cells;
        for (int row = 0; row < energy->rowCount(); ++row)
            for (int column = 0; column < energy->columnCount(); ++column)
                cells << energy->item(row, column)->text();
        QCOMPARE(cells, QStringList({"Ch1", "100 V", "1.000", "1000.0", "10.00", "0:1:0:0", "Total", "",
                                     "1.000", "1000.0", "10.00", "0:1:0:0"}));
        // VOLTRIX_SCREENSHOTS=docs/screenshots keeps the window with its energy table.
        if (const QString folder = qEnvironmentVariable("VOLTRIX_SCREENSHOTS"); !folder.isEmpty()) {
            QMdiSubWindow *sub = m_frame->subWindowOf(power);
            sub->resize(sub->width(), sub->height() * 2);
            QCoreApplication::processEvents();
            sub->grab().save(QDir(folder).filePath(QStringLiteral("power-window-energy.png")));
        }
        // The rates are locked while the monitor runs on the recording.
        dialog = open<fmsetup>("mnsetup");
        QCOMPARE(look(dialog, "Text5(0) Combo3"), QStringLiteral("~100|~1.0"));
        close(dialog, "Command2");
        // The close box clears the values and stops the accumulation.
        m_frame->subWindowOf(power)->close();
        QTRY_COMPARE(values(), QStringList(8, QString()));
        QVERIFY(!m_rig->session.state().main.powerRunning);
    }
    void optionsCaptions()
    {
        auto *dialog = open<Fmoption>("mnoption");
        QVERIFY(dialog);
        QCOMPARE(dialog->windowTitle(), QStringLiteral("Option"));
        auto *tabs = control<QTabWidget>(dialog, "SSTab1");
        QCOMPARE(QStringList(
                     {QString::number(tabs->count()), tabs->tabText(0), tabs->tabText(1), tabs->tabText(2)}),
                 QStringList({"3", "Monitor", "Graph", "Table"}));
        QCOMPARE(
            captions(dialog,
                     "Check3(5) Check3(4) Check2(0) Check2(1) Check2(3) Check1(0) Check1(1) "
                     "Check1(2) Check1(3) Check4 Command1 Command2 Command3(0) Command3(1) Command3(2)"),
            QStringLiteral("Display value fore color|Display back color|Graph back color  |Scale color|"
                           "Graph  Title :|Grid Lines|GridFlat|GridInset|GridRaised|Data Row Back Color|OK|"
                           "Cancel|Default|Default|Default"));
        QCOMPARE(look(dialog, "Text1 Picture1(1)"), QStringLiteral("~ABC|#008000"));
    }
    void optionsPickAndOk()
    {
        auto *dialog = open<Fmoption>("mnoption");
        m_rig->prompts.queueColor(QColor(255, 0, 0));
        click(control(dialog, "Picture1(1)"));
        m_rig->prompts.queueColor(std::nullopt); // cancelled: nothing changes
        click(control(dialog, "Picture1(0)"));
        QCOMPARE(m_rig->prompts.calls().size(), 2);
        QCOMPARE(m_rig->prompts.calls().at(0).color,
                 QColor(0, 128, 0)); // the colour question starts at the swatch's
        QCOMPARE(look(dialog, "Picture1(1) Picture1(0)"), QStringLiteral("#ff0000|#ffffff"));
        auto *tabs = control<QTabWidget>(dialog, "SSTab1");
        tabs->setCurrentIndex(1);
        click(control(dialog, "Check2(0)")); // cannot be cleared
        tabs->setCurrentIndex(2);
        click(control(dialog, "Check1(2)"));
        QCOMPARE(look(dialog, "Check2(0) Check1(1) Check1(2)"), QStringLiteral("x|o|x"));
        close(dialog, "Command1");
        QCOMPARE(stored("Moni_BackColor Moni_ForeColor Grid_lnsetCk Grid_FlatCk Graph_MainTitle"),
                 QStringLiteral("255|16777215|1|0|ABC"));
        QCOMPARE(m_frame->gridWindow()->lineStyle(), GridStyle::LineStyle::Inset);
        QCOMPARE(
            m_frame->monitorWindow()->field(QStringLiteral("Label1(0)"))->palette().color(QPalette::Window),
            QColor(255, 0, 0));
    }
    // The save dialog asks before replacing the file it will write, named by the chosen filter,
    // and opens next time in the folder last saved in.
    void saveDialogAsksOnTheFinalName_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("filter");
        QTest::addColumn<bool>("replace"); // the answer to the question
        QTest::addColumn<QString>("written");
        QTest::addColumn<QString>("question");
        const QString asked = QStringLiteral("rec1.xlsx already exists.\nDo you want to replace it?");
        QTest::newRow("no suffix: asked, replaced") << "rec1" << 0 << true << "rec1.xlsx" << asked;
        QTest::newRow(".xls: asked, kept") << "rec1.xls" << 0 << false << "" << asked;
        QTest::newRow("CSV filter") << "rec1" << 1 << false << "rec1.csv" << QString();
    }
    void saveDialogAsksOnTheFinalName()
    {
        QFETCH(QString, typed);
        QFETCH(int, filter);
        QFETCH(bool, replace);
        QFETCH(QString, written);
        QFETCH(QString, question);
        QTemporaryDir records, elsewhere;
        QVERIFY(QFile(records.filePath(QStringLiteral("rec1.xlsx"))).open(QIODevice::WriteOnly));
        SettingsStore folders(elsewhere.filePath(QStringLiteral("folders.ini")));
        QtPrompts prompts(nullptr, &folders);
        const QString filters = QStringLiteral("Excel File(*.xlsx);;CSV File(*.csv)");
        QString asked;
        QList<std::function<void(QDialog *)>> script{[&](QDialog *dialog) {
            auto *files = qobject_cast<QFileDialog *>(dialog);
            files->selectNameFilter(files->nameFilters().at(filter));
            files->selectFile(records.filePath(typed));
            dialog->accept();
        }};
        if (!question.isEmpty()) script << answerQuestion(replace, asked);
        if (!question.isEmpty() && !replace) script << [](QDialog *dialog) { dialog->reject(); }; // again
        answerDialogs(script);
        const QString chosen =
            prompts.saveFileName(QStringLiteral("Save File"), records.filePath("x"), filters);
        QCOMPARE(chosen, written.isEmpty() ? QString() : records.filePath(written));
        QCOMPARE(asked, question);
        if (written.isEmpty()) return;
        QString opened;
        answerDialogs({[&](QDialog *dialog) {
            opened = qobject_cast<QFileDialog *>(dialog)->directory().absolutePath();
            dialog->reject();
        }});
        prompts.saveFileName(QStringLiteral("Save File"), elsewhere.filePath(QStringLiteral("x")), filters);
        QCOMPARE(opened, QDir(records.path()).absolutePath());
    }
    // The About box shows the texts of its rules; System Info tells when there is nothing to show.
    void aboutBox()
    {
        std::optional<QString> report;
        FmAbout about(
            1028, m_frame->windowIcon(), [&] { return report; }, m_rig->prompts);
        QCOMPARE(QStringList({about.windowTitle(), about.findChild<QLabel *>("lblVersion")->text(),
                              about.findChild<QLabel *>("Label1(1)")->text()}),
                 QStringList({AboutBox::caption(), AboutBox::versionText(), "1028"}));
        QVERIFY(!about.findChild<QLabel *>("picIcon")->pixmap().isNull());
        about.showSystemInfo();
        QCOMPARE(m_rig->prompts.messageTexts(), QStringList({AboutBox::systemInfoUnavailable()}));
        report = QStringLiteral("Operating system: test");
        QString shown;
        QTimer::singleShot(0, &about, [&] {
            auto *text = about.findChild<QPlainTextEdit *>("SystemInfoText");
            shown = text && text->isReadOnly() ? text->toPlainText() : QString();
            if (text) text->window()->close();
        });
        about.showSystemInfo();
        QCOMPARE(shown, *report);
    }
    void helpDocumentsByLanguage()
    {
        OpenedUrls opened;
        QDesktopServices::setUrlHandler(QStringLiteral("file"), &opened, "open");
        HelpCommands help(m_rig->session, *m_frame, 1033, 1041);
        help.openDocument(HelpDocuments::Document::Manual); // neither manual exists: nothing happens
        QVERIFY(opened.urls.isEmpty());
        QFile english(m_assets.filePath(QStringLiteral("help_en.pdf")));
        QVERIFY(english.open(QIODevice::WriteOnly));
        help.openDocument(HelpDocuments::Document::Help); // Japanese missing: the English one
        trigger("mnhe");                                  // the installed command, language of the windows
        QDesktopServices::unsetUrlHandler(QStringLiteral("file"));
        const QString path = QFileInfo(english).absoluteFilePath();
        QCOMPARE(opened.urls, QList<QUrl>({QUrl::fromLocalFile(path), QUrl::fromLocalFile(path)}));
        // With nothing to open it (the offscreen platform opens no documents), the user is told.
        help.openDocument(HelpDocuments::Document::Help);
        english.remove();
        QCOMPARE(m_rig->prompts.messageTexts(),
                 QStringList({QStringLiteral("No program could open the document %1.").arg(path)}));
    }
};

QTEST_MAIN(TestDialogs)
#include "tst_gui_dialogs.moc"

// The Setup and Options dialogs, the power cost window and the Help menu, driven through their
// controls in the frame window; the store, the settings and the other windows checked after.
#include <QCheckBox>
#include <QComboBox>
#include <QDesktopServices>
#include <QFileDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QtTest>
#include <optional>

#include "core/acquisition/AcquisitionState.h"
#include "core/common/AppPaths.h"
#include "core/link/FrameEncoder.h"
#include "core/measurement/MeasurementTables.h"
#include "core/power/PowerCostMonitor.h"
#include "core/record/RecordStore.h"
#include "core/settings/UserSettings.h"
#include "support/ModalDialog.h"
#include "support/RecordingSession.h"
#include "ui/help/FmAbout.h"
#include "ui/help/HelpCommands.h"
#include "ui/monitor/FmMonitor.h"
#include "ui/power/FmPower.h"
#include "ui/setup/ColorSwatch.h"
#include "ui/setup/Fmoption.h"
#include "ui/setup/fmsetup.h"
#include "ui/shell/FmLoading.h"
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

// A current reading on channel 1: `hundredths` / 100 A.
QByteArray ampereReading(int hundredths)
{
    FrameEncoder::Header header;
    header.functionCode = Measurement::DCA;
    header.decimalCode = FrameEncoder::Divisor100;
    return FrameEncoder::encodeReading(header, hundredths);
}

} // namespace

class TestDialogs : public QObject
{
    Q_OBJECT
    QTemporaryDir m_assets;
    std::optional<RecordingSession> m_rig;
    std::optional<MainFm> m_frame;

    void trigger(const char *item) { m_frame->menuItem(QLatin1String(item))->trigger(); }
    fmsetup *openSetup()
    {
        trigger("mnsetup");
        auto *dialog = m_frame->findChild<fmsetup *>();
        return dialog && dialog->isVisible() ? dialog : nullptr;
    }
    Fmoption *openOptions()
    {
        trigger("mnoption");
        return m_frame->findChild<Fmoption *>();
    }
    template <typename T> static T *control(const QDialog *dialog, const QString &name)
    {
        auto *widget = qobject_cast<T *>(dialog->findChild<QWidget *>(name));
        if (!widget) qWarning() << "no control" << name;
        return widget;
    }
    static void click(QWidget *widget) { QTest::mouseClick(widget, Qt::LeftButton, {}, QPoint(4, 4)); }
    QString stored(const char *key) const
    {
        return m_rig->store.get(QLatin1String(key), QStringLiteral("?"));
    }
    // A record with a sample of a current on channel 1.
    void recordCurrent()
    {
        m_rig->start();
        m_rig->feed(ampereReading(1000));
        QCOMPARE(m_rig->session.state().mainFunction, Measurement::DCA);
    }
    // The captions of the blank-separated buttons, joined by "|".
    static QString captions(const QDialog *dialog, const char *names)
    {
        QStringList texts;
        for (const QString &name : QString::fromLatin1(names).split(u' '))
            texts << control<QAbstractButton>(dialog, name)->text();
        return texts.join(u'|');
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

    // Every caption of the Setup dialog, and its first-run load without a recording.
    void setupCaptionsAndLoad()
    {
        fmsetup *dialog = openSetup();
        QVERIFY(dialog);
        QCOMPARE(dialog->windowTitle(), QStringLiteral("Setup"));
        QCOMPARE(captions(dialog,
                          "Check1(0) Check1(1) Option1(0) Option1(15) Check2 Option2(0) Option2(1) Command1 "
                          "Command2 Command3"),
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
        QCOMPARE(QStringList({QString::number(scale->count()), scale->itemText(7), scale->currentText()}),
                 QStringList({"8", "200", "25"}));
        auto *factor = control<QComboBox>(dialog, "Combo3");
        QCOMPARE(QStringList({factor->itemText(2), factor->itemText(3), factor->currentText()}),
                 QStringList({"1.0", "Input field", "0.8"}));
        QCOMPARE(control<QLineEdit>(dialog, "Text2(0)")->maxLength(), 8);
        QCOMPARE(control<QLineEdit>(dialog, "Text4(5)")->maxLength(), 10);
        for (const char *box : {"Text1(0)", "Text1(1)", "Text5(0)", "Text5(1)"})
            QCOMPARE(control<QLineEdit>(dialog, box)->contextMenuPolicy(), Qt::NoContextMenu);
        // First run, no recording: auto scan with the port buttons greyed, the alarm part off.
        QVERIFY(control<QCheckBox>(dialog, "Check1(0)")->isChecked());
        QVERIFY(!control<QWidget>(dialog, "Option1(0)")->isEnabled());
        QVERIFY(control<QRadioButton>(dialog, "Option1(0)")->isChecked());
        auto *alarm = control<QCheckBox>(dialog, "Check2");
        QVERIFY(!alarm->isEnabled() && !alarm->isChecked());
        QVERIFY(!control<QWidget>(dialog, "Text1(0)")->isEnabled());
        QCOMPARE(control<QLineEdit>(dialog, "Text1(0)")->text(), QStringLiteral("100"));
        QVERIFY(control<QWidget>(dialog, "Text5(0)")->isEnabled());
    }

    void portPair()
    {
        fmsetup *dialog = openSetup();
        auto *autoScan = control<QCheckBox>(dialog, "Check1(0)");
        auto *select = control<QCheckBox>(dialog, "Check1(1)");
        click(autoScan);
        QVERIFY(!autoScan->isChecked() && select->isChecked());
        QVERIFY(control<QWidget>(dialog, "Option1(9)")->isEnabled());
        click(select);
        QVERIFY(autoScan->isChecked() && !select->isChecked());
        QVERIFY(!control<QWidget>(dialog, "Option1(9)")->isEnabled());
    }

    void okSavesAndUpdatesTheWindows()
    {
        fmsetup *dialog = openSetup();
        click(control<QCheckBox>(dialog, "Check1(1)"));
        click(control<QRadioButton>(dialog, "Option1(4)"));
        control<QComboBox>(dialog, "Combo1(1)")->setCurrentIndex(1);
        auto *name = control<QLineEdit>(dialog, "Text2(0)");
        name->clear();
        QTest::keyClicks(name, QStringLiteral(" Motor 12345")); // 8 characters at most
        auto *voltage = control<QLineEdit>(dialog, "Text5(0)");
        voltage->clear();
        QTest::keyClicks(voltage, QStringLiteral("2a3-0")); // digits and the point only
        auto *price = control<QLineEdit>(dialog, "Text5(1)");
        price->setText(QStringLiteral("5"));
        price->setCursorPosition(0);
        QTest::keyClicks(price, QStringLiteral(".")); // shown as typed, saved with its zero
        QCOMPARE(price->text(), QStringLiteral(".5"));
        auto *factor = control<QComboBox>(dialog, "Combo3");
        factor->lineEdit()->selectAll(); // "0.8", replaced by what is typed
        QTest::keyClicks(factor->lineEdit(), QStringLiteral("."));
        QCOMPARE(factor->currentText(), QStringLiteral("0."));
        QTest::keyClicks(factor->lineEdit(), QStringLiteral("95"));
        QPointer<fmsetup> open(dialog);
        click(control<QPushButton>(dialog, "Command1"));
        QTRY_VERIFY(!open);

        QCOMPARE(stored("setup_selePort"), QStringLiteral("1"));
        QCOMPARE(stored("setup_autoScan"), QStringLiteral("0"));
        QCOMPARE(stored("setup_commp"), QStringLiteral("4"));
        QCOMPARE(stored("setup_YScale"), QStringLiteral("1"));
        QCOMPARE(stored("Channel_n1"), QStringLiteral(" Motor 1"));
        QCOMPARE(stored("Channel_n2"), QStringLiteral("Ch2"));
        QCOMPARE(stored("Power_V"), QStringLiteral("230"));
        QCOMPARE(stored("Power_Unit"), QStringLiteral("0.5"));
        QCOMPARE(stored("Power_cos"), QStringLiteral("0.95"));
        QCOMPARE(stored("setup_Alarm"), QStringLiteral("0"));
        QCOMPARE(m_rig->session.settings().timeAxisFactor, 0.5f);
        QCOMPARE(m_rig->session.state().selectedPort, 4);
        QCOMPARE(m_rig->session.record().cell(0, RecordStore::valueColumn(0)), QStringLiteral("Motor 1"));

        // Opened again, the dialog shows what was saved.
        dialog = openSetup();
        QCOMPARE(control<QLineEdit>(dialog, "Text2(0)")->text(), QStringLiteral(" Motor 1"));
        QVERIFY(control<QRadioButton>(dialog, "Option1(4)")->isChecked());
        QVERIFY(control<QWidget>(dialog, "Option1(4)")->isEnabled());
    }

    void defaultThenCancelChangesNothing()
    {
        fmsetup *dialog = openSetup();
        control<QLineEdit>(dialog, "Text3(2)")->setText(QStringLiteral("SN-9"));
        click(control<QPushButton>(dialog, "Command3"));
        QCOMPARE(control<QComboBox>(dialog, "Combo1(1)")->currentText(), QStringLiteral("100"));
        QCOMPARE(control<QLineEdit>(dialog, "Text3(2)")->text(), QStringLiteral("-"));
        QCOMPARE(control<QLineEdit>(dialog, "Text5(0)")->text(), QStringLiteral("110"));
        QPointer<fmsetup> open(dialog);
        click(control<QPushButton>(dialog, "Command2"));
        QTRY_VERIFY(!open);
        QVERIFY(!m_rig->store.contains(QStringLiteral("setup_YScale")));
        QVERIFY(!m_rig->store.contains(QStringLiteral("Channel_sn3")));
        QCOMPARE(m_rig->session.settings().YScale, 0);
    }

    void limitsWhileRecording()
    {
        recordCurrent();
        fmsetup *dialog = openSetup();
        auto *alarm = control<QCheckBox>(dialog, "Check2");
        QVERIFY(alarm->isEnabled() && !alarm->isChecked());
        QCOMPARE(control<QComboBox>(dialog, "Combo2")->currentText(), QStringLiteral("A"));
        click(alarm);
        auto *high = control<QLineEdit>(dialog, "Text1(0)");
        QVERIFY(high->isEnabled());
        high->clear();
        QTest::keyClicks(high, QStringLiteral("12.3456")); // every digit taken while typing
        QCOMPARE(high->text(), QStringLiteral("12.3456"));
        m_rig->prompts.clear();
        QTest::keyClicks(high, QStringLiteral("-"));
        QCOMPARE(m_rig->prompts.messageTexts(), QStringList({"Data entry error ! "}));
        QCOMPARE(m_rig->prompts.lastCall().buttons, Prompts::Buttons::Ok);
        QCOMPARE(high->text(), QStringLiteral("100"));
        high->clear();
        QTest::keyClicks(high, QStringLiteral("2a.95678"));
        click(control<QPushButton>(dialog, "Command1")); // rounded to one decimal for a current
        QCOMPARE(stored("setup_Alarm"), QStringLiteral("1"));
        QCOMPARE(stored("setup_T1Hi"), QStringLiteral("3.0"));
        QVERIFY(m_rig->session.state().alarmEnabled);
        FmMonitor *monitor = m_frame->monitorWindow();
        monitor->renderNow();
        QCOMPARE(monitor->field(QStringLiteral("Label8(2)"))->text(), QStringLiteral("3.0"));
        QCOMPARE(monitor->field(QStringLiteral("Label8(4)"))->text(), QStringLiteral("A"));
        QCOMPARE(monitor->field(QStringLiteral("Label8(3)"))->text(), QStringLiteral("-"));
    }

    void powerWindowDuringCurrentRecording()
    {
        recordCurrent();
        fmsetup *dialog = openSetup();
        control<QLineEdit>(dialog, "Text5(0)")->setText(QStringLiteral("100"));
        control<QComboBox>(dialog, "Combo3")->setCurrentIndex(2); // "1.0"
        control<QLineEdit>(dialog, "Text5(1)")->setText(QStringLiteral("10"));
        control<QLineEdit>(dialog, "Text3(0)")->setText(QStringLiteral("A-17"));
        click(control<QPushButton>(dialog, "Command1"));

        trigger("mnpower");
        FmPower *power = m_frame->powerWindow();
        QTRY_VERIFY(power->isVisible());
        QCOMPARE(power->captionLabel(7)->text(), QStringLiteral("Electricity charges"));
        QStringList values;
        for (int i = 0; i < 8; ++i)
            values << power->valueLabel(i)->text();
        QCOMPARE(values, QStringList({"Ch1", "A-17", "-", "100", "1.0", "10", "0", "0"}));

        m_rig->feed(ampereReading(1000)); // 10 A; the first step starts the clock
        QCOMPARE(power->valueLabel(6)->text(), QStringLiteral("0:0:0:0"));
        QCOMPARE(power->valueLabel(7)->text(), QStringLiteral("0.00"));
        m_rig->clock.advance(3600 * 1000);
        m_rig->feed(ampereReading(1000));
        QCOMPARE(power->valueLabel(6)->text(), QStringLiteral("0:1:0:0"));
        QCOMPARE(power->valueLabel(7)->text(), QStringLiteral("10.00")); // 1 kWh at 10

        // The rates are locked while the monitor runs on the recording.
        dialog = openSetup();
        QVERIFY(!control<QWidget>(dialog, "Text5(0)")->isEnabled());
        QVERIFY(!control<QWidget>(dialog, "Combo3")->isEnabled());
        click(control<QPushButton>(dialog, "Command2"));

        // The close box hides the window, clears its values and stops the accumulation.
        m_frame->subWindowOf(power)->close();
        QTRY_VERIFY(!power->isVisible());
        QVERIFY(!m_frame->menuItem(QStringLiteral("mnpower"))->isChecked());
        QVERIFY(!m_rig->session.state().powerRunning);
        QCOMPARE(power->valueLabel(0)->text(), QString());
        QCOMPARE(power->valueLabel(7)->text(), QString());
    }

    void powerWindowEmptyForVoltage()
    {
        m_rig->start();
        m_rig->feed(FrameEncoder::encodeReading({}, 1234)); // DCV
        trigger("mnpower");
        QTRY_VERIFY(m_frame->powerWindow()->isVisible());
        QCOMPARE(m_frame->powerWindow()->valueLabel(0)->text(), QString());
        QVERIFY(!m_rig->session.state().powerRunning);
    }

    void optionsCaptions()
    {
        Fmoption *dialog = openOptions();
        QVERIFY(dialog);
        QCOMPARE(dialog->windowTitle(), QStringLiteral("Option"));
        auto *tabs = control<QTabWidget>(dialog, "SSTab1");
        QCOMPARE(tabs->count(), 3);
        QCOMPARE(QStringList({tabs->tabText(0), tabs->tabText(1), tabs->tabText(2)}),
                 QStringList({"Monitor", "Graph", "Table"}));
        QCOMPARE(
            captions(dialog,
                     "Check3(5) Check3(4) Check2(0) Check2(1) Check2(3) Check1(0) Check1(1) Check1(2) "
                     "Check1(3) Check4 Command1 Command2 Command3(0) Command3(1) Command3(2)"),
            QStringLiteral("Display value fore color|Display back color|Graph back color  |Scale color|"
                           "Graph  Title :|Grid Lines|GridFlat|GridInset|GridRaised|Data Row Back Color|OK|"
                           "Cancel|Default|Default|Default"));
        QCOMPARE(control<QLineEdit>(dialog, "Text1")->text(), QStringLiteral("ABC"));
        QVERIFY(!control<QWidget>(dialog, "Text1")->isEnabled());
        QCOMPARE(control<ColorSwatch>(dialog, "Picture1(1)")->color(), QColor(0, 128, 0));
    }

    void optionsPickAndOk()
    {
        Fmoption *dialog = openOptions();
        m_rig->prompts.queueColor(QColor(255, 0, 0));
        click(control<QWidget>(dialog, "Picture1(1)"));
        m_rig->prompts.queueColor(std::nullopt); // cancelled: nothing changes
        click(control<QWidget>(dialog, "Picture1(0)"));
        QCOMPARE(m_rig->prompts.calls().size(), 2);
        QCOMPARE(m_rig->prompts.calls().at(0).kind, ScriptedPrompts::Kind::Color);
        QCOMPARE(m_rig->prompts.calls().at(0).color, QColor(0, 128, 0));
        QCOMPARE(control<ColorSwatch>(dialog, "Picture1(1)")->color(), QColor(255, 0, 0));
        QCOMPARE(control<ColorSwatch>(dialog, "Picture1(0)")->color(), QColor(255, 255, 255));
        auto *tabs = control<QTabWidget>(dialog, "SSTab1");
        tabs->setCurrentIndex(1);
        auto *graphBack = control<QCheckBox>(dialog, "Check2(0)");
        click(graphBack);
        QVERIFY(graphBack->isChecked()); // cannot be cleared
        tabs->setCurrentIndex(2);
        click(control<QCheckBox>(dialog, "Check1(2)"));
        QVERIFY(!control<QCheckBox>(dialog, "Check1(1)")->isChecked());
        QVERIFY(control<QCheckBox>(dialog, "Check1(2)")->isChecked());
        QPointer<Fmoption> open(dialog);
        click(control<QPushButton>(dialog, "Command1"));
        QTRY_VERIFY(!open);

        QCOMPARE(stored("Moni_BackColor"), QStringLiteral("255"));
        QCOMPARE(stored("Moni_ForeColor"), QStringLiteral("16777215"));
        QCOMPARE(stored("Grid_lnsetCk"), QStringLiteral("1"));
        QCOMPARE(stored("Grid_FlatCk"), QStringLiteral("0"));
        QCOMPARE(stored("Graph_MainTitle"), QStringLiteral("ABC"));
        QCOMPARE(m_frame->gridWindow()->lineStyle(), GridStyle::LineStyle::Inset);
        QCOMPARE(
            m_frame->monitorWindow()->field(QStringLiteral("Label1(0)"))->palette().color(QPalette::Window),
            QColor(255, 0, 0));
    }

    void optionsCancelChangesNothing()
    {
        Fmoption *dialog = openOptions();
        auto *tabs = control<QTabWidget>(dialog, "SSTab1");
        tabs->setCurrentIndex(2);
        click(control<QCheckBox>(dialog, "Check1(0)")); // grid lines off
        QVERIFY(!control<QWidget>(dialog, "Check1(1)")->isEnabled());
        tabs->setCurrentIndex(1);
        click(control<QPushButton>(dialog, "Command3(1)")); // the graph's defaults show the title
        QVERIFY(control<QCheckBox>(dialog, "Check2(3)")->isChecked());
        QVERIFY(control<QWidget>(dialog, "Text1")->isEnabled());
        click(control<QPushButton>(dialog, "Command2"));
        QVERIFY(!m_rig->store.contains(QStringLiteral("Grid_lineCk")));
        QCOMPARE(m_rig->session.settings().Grid_lineCk, 1);
        QCOMPARE(m_frame->gridWindow()->lineStyle(), GridStyle::LineStyle::Flat);
    }

    // The save dialog asks before replacing the file it will write, named by the chosen filter,
    // and opens next time in the folder last saved in.
    void saveDialogAsksOnTheFinalName_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("filter");
        QTest::addColumn<bool>("replace"); // the answer, when asked
        QTest::addColumn<QString>("written");
        QTest::addColumn<QString>("question");
        const QString asked = QStringLiteral("rec1.xlsx already exists.\nDo you want to replace it?");
        QTest::newRow("no suffix: asked, replaced") << "rec1" << 0 << true << "rec1.xlsx" << asked;
        QTest::newRow(".xls: asked, kept") << "rec1.xls" << 0 << false << "" << asked;
        QTest::newRow("CSV filter") << "rec1" << 1 << false << "rec1.csv"
                                    << "";
    }
    void saveDialogAsksOnTheFinalName()
    {
        QFETCH(QString, typed);
        QFETCH(int, filter);
        QFETCH(bool, replace);
        QFETCH(QString, written);
        QFETCH(QString, question);
        QTemporaryDir records, elsewhere;
        QFile old(records.filePath(QStringLiteral("rec1.xlsx")));
        QVERIFY(old.open(QIODevice::WriteOnly));
        old.close();
        SettingsStore folders(elsewhere.filePath(QStringLiteral("folders.ini")));
        QtPrompts prompts(nullptr, &folders);
        const QString filters = QStringLiteral("Excel File(*.xlsx);;CSV File(*.csv)");
        QString asked;
        const auto typeName = [&](QDialog *dialog) {
            auto *files = qobject_cast<QFileDialog *>(dialog);
            QVERIFY(files);
            files->selectNameFilter(files->nameFilters().at(filter));
            files->selectFile(records.filePath(typed));
            dialog->accept();
        };
        const auto answer = [&](QDialog *dialog) {
            auto *box = qobject_cast<QMessageBox *>(dialog);
            QVERIFY(box);
            asked = box->text();
            box->button(replace ? QMessageBox::Yes : QMessageBox::No)->click();
        };
        QList<std::function<void(QDialog *)>> script{typeName};
        if (!question.isEmpty()) script << answer;
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

    // The progress window shown and hidden at once by a save gives the keyboard back to the frame,
    // also when another window (here the port scan's) was shown and hidden just before.
    void keyboardBackAfterSaving()
    {
        recordCurrent();
        auto *progress = m_frame->findChild<FmLoading *>();
        progress->showProgress(QStringLiteral("Save file"), QStringLiteral("Save file....."), 1);
        progress->closeProgress();
        QTRY_COMPARE(QApplication::activeWindow(), &*m_frame);
        QTest::keyClick(&*m_frame, Qt::Key_F6); // Pause's shortcut
        QVERIFY(m_frame->menuItem(QStringLiteral("mnpause"))->isChecked());
    }

    void aboutBox()
    {
        int infoCalls = 0;
        std::optional<QString> report;
        FmAbout about(
            1028, m_frame->windowIcon(), [&] { return ++infoCalls, report; }, m_rig->prompts);
        QCOMPARE(about.windowTitle(), QStringLiteral("About Voltrix"));
        QCOMPARE(about.findChild<QLabel *>("lblTitle")->text(), QStringLiteral("Voltrix"));
        QCOMPARE(about.findChild<QLabel *>("lblVersion")->text(), QStringLiteral("Version :   1.0.21 "));
        QCOMPARE(about.findChild<QLabel *>("Label1(0)")->text(), QStringLiteral("System Language ID : "));
        QCOMPARE(about.findChild<QLabel *>("Label1(1)")->text(), QStringLiteral("1028"));
        QCOMPARE(about.findChild<QPushButton *>("cmdSysInfo")->text(), QStringLiteral("&System Info..."));
        QCOMPARE(about.findChild<QPushButton *>("cmdOK")->text(), QStringLiteral("OK"));
        QVERIFY(!about.findChild<QLabel *>("picIcon")->pixmap().isNull());

        about.showSystemInfo();
        QCOMPARE(m_rig->prompts.messageTexts(),
                 QStringList({"System Information Is Unavailable At This Time"}));

        report = QStringLiteral("Operating system: test");
        QString shown;
        bool readOnly = false;
        QTimer::singleShot(0, &about, [&] {
            auto *text = about.findChild<QPlainTextEdit *>("SystemInfoText");
            QVERIFY(text);
            shown = text->toPlainText();
            readOnly = text->isReadOnly();
            text->window()->close();
        });
        about.showSystemInfo();
        QCOMPARE(shown, *report);
        QVERIFY(readOnly);
        QCOMPARE(infoCalls, 2);
    }

    void helpDocumentsByLanguage()
    {
        OpenedUrls opened;
        QDesktopServices::setUrlHandler(QStringLiteral("file"), &opened, "open");
        HelpCommands help(m_rig->session, *m_frame, 1041);
        help.openDocument(HelpDocuments::Document::Manual); // neither manual exists: nothing happens
        QVERIFY(opened.urls.isEmpty());

        QFile english(m_assets.filePath(QStringLiteral("help_en.pdf")));
        QVERIFY(english.open(QIODevice::WriteOnly));
        english.close();
        help.openDocument(HelpDocuments::Document::Help); // Japanese missing: the English one
        trigger("mnhe");                                  // the installed command, language of this system
        QDesktopServices::unsetUrlHandler(QStringLiteral("file"));
        english.remove();
        QCOMPARE(opened.urls.size(), 2);
        for (const QUrl &url : opened.urls)
            QCOMPARE(url, QUrl::fromLocalFile(QFileInfo(english).absoluteFilePath()));
    }
};

QTEST_MAIN(TestDialogs)
#include "tst_gui_dialogs.moc"

// The Setup and Options dialogs, the power cost window and the Help menu, driven through their
// controls in the frame window; the store, the settings and the other windows checked after.
#include <QCheckBox>
#include <QComboBox>
#include <QDesktopServices>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMdiSubWindow>
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
#include "support/RecordingSession.h"
#include "ui/help/FmAbout.h"
#include "ui/help/HelpCommands.h"
#include "ui/monitor/FmMonitor.h"
#include "ui/power/FmPower.h"
#include "ui/setup/ColorSwatch.h"
#include "ui/setup/Fmoption.h"
#include "ui/setup/fmsetup.h"
#include "ui/shell/MainFm.h"
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
    QStringList labelTexts(const QWidget *parent) const
    {
        QStringList texts;
        for (const QLabel *label : parent->findChildren<QLabel *>())
            texts << label->text();
        return texts;
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

    void setupCaptionsAndLoad()
    {
        fmsetup *dialog = openSetup();
        QVERIFY(dialog);
        QCOMPARE(dialog->windowTitle(), QStringLiteral("Setup"));
        const QList<std::pair<QString, QString>> captions{{"Check1(0)", "Auto scan  com port"},
                                                          {"Check1(1)", "Select  port"},
                                                          {"Option1(0)", "Com 1"},
                                                          {"Option1(15)", "Com 16"},
                                                          {"Check2", "Alarm  : "},
                                                          {"Option2(0)", "Hi"},
                                                          {"Option2(1)", "Low"},
                                                          {"Command1", "OK"},
                                                          {"Command2", "Cancel"},
                                                          {"Command3", "Default"}};
        for (const auto &[name, caption] : captions)
            QCOMPARE(control<QAbstractButton>(dialog, name)->text(), caption);
        QStringList frames;
        for (const QGroupBox *frame : dialog->findChildren<QGroupBox *>())
            frames << frame->title();
        QCOMPARE(frames, QStringList({"Com port", "Alarm setting", "Graph scales", "Channel", "Power rate"}));
        const QStringList labels = labelTexts(dialog);
        for (const char *label : {"Unit :", "Time axial scales : ", "Display  Name", "Serial Number ",
                                  "Place", "Channel 1", "Channel 6", "V", "P.F", "Unit price    "})
            QVERIFY2(labels.contains(QLatin1String(label)), label);
        auto *scale = control<QComboBox>(dialog, "Combo1(1)");
        QCOMPARE(scale->count(), 8);
        QCOMPARE(scale->itemText(7), QStringLiteral("200"));
        QCOMPARE(scale->currentText(), QStringLiteral("25"));
        auto *factor = control<QComboBox>(dialog, "Combo3");
        QCOMPARE(factor->itemText(2), QStringLiteral("1.0"));
        QCOMPARE(factor->itemText(3), QStringLiteral("Input field"));
        QCOMPARE(factor->currentText(), QStringLiteral("0.8"));
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
        price->clear();
        QTest::keyClicks(price, QStringLiteral(".5")); // the point after a zero
        QCOMPARE(price->text(), QStringLiteral("0.5"));
        auto *factor = control<QComboBox>(dialog, "Combo3");
        factor->setCurrentIndex(3); // "Input field"
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
        QTest::keyClicks(high, QStringLiteral("12.3456"));
        QCOMPARE(high->text(), QStringLiteral("12.3")); // one decimal for a current
        m_rig->prompts.clear();
        QTest::keyClicks(high, QStringLiteral("-"));
        QCOMPARE(m_rig->prompts.messageTexts(), QStringList({"Data entry error ! "}));
        QCOMPARE(m_rig->prompts.lastCall().buttons, Prompts::Buttons::Ok);
        QCOMPARE(high->text(), QStringLiteral("100"));
        high->clear();
        QTest::keyClicks(high, QStringLiteral("7a.5"));
        QCOMPARE(high->text(), QStringLiteral("7.5"));

        click(control<QPushButton>(dialog, "Command1"));
        QCOMPARE(stored("setup_Alarm"), QStringLiteral("1"));
        QCOMPARE(stored("setup_T1Hi"), QStringLiteral("7.5"));
        QVERIFY(m_rig->session.state().alarmEnabled);
        FmMonitor *monitor = m_frame->monitorWindow();
        monitor->renderNow();
        QCOMPARE(monitor->field(QStringLiteral("Label8(2)"))->text(), QStringLiteral("7.5"));
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
        QCOMPARE(power->windowTitle(), QStringLiteral("Electric Power Cost Monitor"));
        const QStringList captions{"Channel:",
                                   "Serial Number: ",
                                   "Place:",
                                   "V",
                                   "P.F",
                                   "Unit Price",
                                   "Time ( d : h : m : s )",
                                   "Electricity charges"};
        QStringList values;
        for (int i = 0; i < 8; ++i) {
            QCOMPARE(power->captionLabel(i)->text(), captions.at(i));
            values << power->valueLabel(i)->text();
        }
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
        const QList<std::pair<QString, QString>> captions{{"Check3(5)", "Display value fore color"},
                                                          {"Check3(4)", "Display back color"},
                                                          {"Check2(0)", "Graph back color  "},
                                                          {"Check2(1)", "Scale color"},
                                                          {"Check2(3)", "Graph  Title :"},
                                                          {"Check1(0)", "Grid Lines"},
                                                          {"Check1(1)", "GridFlat"},
                                                          {"Check1(2)", "GridInset"},
                                                          {"Check1(3)", "GridRaised"},
                                                          {"Check4", "Data Row Back Color"},
                                                          {"Command1", "OK"},
                                                          {"Command2", "Cancel"},
                                                          {"Command3(0)", "Default"},
                                                          {"Command3(1)", "Default"},
                                                          {"Command3(2)", "Default"}};
        for (const auto &[name, caption] : captions)
            QCOMPARE(control<QAbstractButton>(dialog, name)->text(), caption);
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

// The windows in each language: a few exact translated texts of the menus, the Setup dialog and
// a message box, and no caption clipped in any dialog or child window at its default size.
// CTest runs it once more with QT_SCALE_FACTOR=2.
#include <QAbstractButton>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QTabWidget>
#include <QtTest>
#include <optional>

#include "core/commands/Commands.h"
#include "core/common/AppPaths.h"
#include "core/language/UiLanguage.h"
#include "core/link/FrameEncoder.h"
#include "core/measurement/MeasurementTables.h"
#include "support/ModalDialog.h"
#include "support/RecordingSession.h"
#include "ui/graph/FmGraph.h"
#include "ui/help/FmAbout.h"
#include "ui/link/ScanWindow.h"
#include "ui/monitor/FmMonitor.h"
#include "ui/power/FmPower.h"
#include "ui/setup/Fmoption.h"
#include "ui/setup/fmsetup.h"
#include "ui/shell/MainFm.h"
#include "ui/shell/QtPrompts.h"
#include "ui/table/FmGrid.h"

namespace
{

// The widgets of `window` whose caption does not fit where the layout put it. Blanks that end a
// caption may run out of sight.
QStringList clipped(const QWidget *window)
{
    QStringList found;
    for (const QWidget *widget : window->findChildren<QWidget *>()) {
        if (!widget->isVisibleTo(window)) continue;
        QString text;
        QSize needed;
        if (const auto *label = qobject_cast<const QLabel *>(widget)) {
            text = label->text();
            needed = label->wordWrap() ? label->minimumSizeHint() : label->sizeHint();
        } else if (const auto *button = qobject_cast<const QAbstractButton *>(widget)) {
            text = button->text();
            needed = button->sizeHint();
        } else if (const auto *box = qobject_cast<const QGroupBox *>(widget)) {
            text = box->title();
            needed = {box->fontMetrics().horizontalAdvance(text) + 16, 0};
        }
        if (text.trimmed().isEmpty()) continue;
        const QFontMetrics metrics = widget->fontMetrics();
        needed.rwidth() -= metrics.horizontalAdvance(text) - metrics.horizontalAdvance(text.trimmed());
        if (widget->width() >= needed.width() && widget->height() >= needed.height()) continue;
        found << QString::asprintf("%s \"%s\" %dx%d < %dx%d", qPrintable(widget->objectName()),
                                   qPrintable(text), widget->width(), widget->height(), needed.width(),
                                   needed.height());
    }
    return found;
}

} // namespace

class TestLanguages : public QObject
{
    Q_OBJECT
    QTemporaryDir m_assets;
    std::optional<UiLanguage::Translations> m_translations;
    std::optional<RecordingSession> m_rig;
    std::optional<MainFm> m_frame;

    void showFrame(const QString &language)
    {
        m_frame.reset();
        m_rig.reset();
        m_translations.reset();
        m_translations.emplace(language);
        QVERIFY(m_translations->loaded());
        m_rig.emplace();
        m_frame.emplace(m_rig->session);
        m_frame->show();
        QVERIFY(QTest::qWaitForWindowExposed(&*m_frame));
    }
    template <typename Dialog> Dialog *open(Command command)
    {
        m_rig->session.commandProcs().run(command);
        auto *dialog = m_frame->findChild<Dialog *>();
        if (dialog && !QTest::qWaitForWindowExposed(dialog)) return nullptr;
        return dialog;
    }

private Q_SLOTS:
    void initTestCase() { AppPaths::setAssetFolderOverride(m_assets.path()); }
    void cleanup()
    {
        m_frame.reset();
        m_rig.reset();
        m_translations.reset();
    }
    void texts_data()
    {
        QTest::addColumn<QString>("language");
        QTest::addColumn<QStringList>("menus");
        QTest::addColumn<QString>("setupTitle");
        QTest::addColumn<QString>("alarmFrame");
        QTest::addColumn<QStringList>("answers");
        QTest::newRow("en") << "en"
                            << QStringList{"&File",   "&Setup",  "P&ublish readings", "&Edit", "&View",
                                           "&Record", "&Option", "&Window",           "&Help"}
                            << "Setup"
                            << "Alarm setting" << QStringList{"&Yes", "&No"};
        QTest::newRow("ja") << "ja" << QStringList{"ファイル(&F)",   "設定(&S)",       "測定値の配信(&U)",
                                                   "編集(&E)",       "表示(&V)",       "記録(&R)",
                                                   "オプション(&O)", "ウィンドウ(&W)", "ヘルプ(&H)"}
                            << "設定"
                            << "アラーム設定" << QStringList{"はい(&Y)", "いいえ(&N)"};
        QTest::newRow("zh_TW") << "zh_TW"
                               << QStringList{"檔案(&F)", "設定(&S)", "讀值傳送(&U)", "編輯(&E)", "檢視(&V)",
                                              "記錄(&R)", "選項(&O)", "視窗(&W)",     "說明(&H)"}
                               << "設定"
                               << "警報設定" << QStringList{"是(&Y)", "否(&N)"};
    }
    void texts()
    {
        QFETCH(QString, language);
        QFETCH(QStringList, menus);
        QFETCH(QString, setupTitle);
        QFETCH(QString, alarmFrame);
        QFETCH(QStringList, answers);
        showFrame(language);
        QStringList shown;
        for (const QAction *menu : m_frame->menuBar()->actions())
            shown << menu->text();
        QCOMPARE(shown, menus);
        auto *setup = open<fmsetup>(Command::Setup);
        QVERIFY(setup);
        QCOMPARE(setup->windowTitle(), setupTitle);
        QCOMPARE(setup->findChild<QGroupBox *>("Frame2")->title(), alarmFrame);
        QStringList buttons;
        whenDialogOpens([&buttons](QDialog *box) {
            for (const QAbstractButton *button : box->findChildren<QAbstractButton *>())
                if (!button->text().isEmpty()) buttons << button->text();
            box->reject();
        });
        QtPrompts(&*m_frame).message(QStringLiteral("?"), QStringLiteral("?"), Prompts::Buttons::YesNo,
                                     Prompts::Icon::Question);
        buttons.sort();
        answers.sort();
        QCOMPARE(buttons, answers);
    }
    // The Options dialog keeps the language chosen for the next start and shows it again.
    void choiceKept()
    {
        showFrame(QStringLiteral("en"));
        QPointer<Fmoption> options = open<Fmoption>(Command::Options);
        auto *choice = options->findChild<QComboBox *>("Language");
        QCOMPARE(choice->currentText(), QStringLiteral("System language"));
        choice->setCurrentIndex(choice->findData(QStringLiteral("zh_TW")));
        options->findChild<QPushButton *>("Command1")->click();
        QTRY_VERIFY(!options);
        QCOMPARE(m_rig->store.get(QStringLiteral("language"), QString()), QStringLiteral("zh_TW"));
        options = open<Fmoption>(Command::Options);
        QCOMPARE(options->findChild<QComboBox *>("Language")->currentData().toString(),
                 QStringLiteral("zh_TW"));
    }
    void nothingClipped_data()
    {
        QTest::addColumn<QString>("language");
        for (const QString &code : UiLanguage::codes())
            QTest::newRow(qPrintable(code)) << code;
    }
    void nothingClipped()
    {
        QFETCH(QString, language);
        showFrame(language);
        m_rig->start(); // the monitor shows a record's file name and a reading
        FrameEncoder::Header header;
        header.functionCode = Measurement::DCV;
        header.decimalCode = FrameEncoder::Divisor100;
        m_rig->feed(FrameEncoder::encodeReading(header, 23012));
        QList<QWidget *> windows{m_frame->monitorWindow(), m_frame->gridWindow(), m_frame->graphWindow(),
                                 m_frame->powerWindow(), m_frame->scanWindow()};
        windows << open<fmsetup>(Command::Setup);
        auto *options = open<Fmoption>(Command::Options);
        windows << options;
        FmAbout about(
            1041, QIcon(), [] { return std::optional<QString>(); }, m_rig->prompts, &*m_frame);
        about.show();
        QVERIFY(QTest::qWaitForWindowExposed(&about));
        windows << &about;
        QStringList faults;
        whenDialogOpens([&faults](QDialog *publish) {
            faults << clipped(publish);
            publish->reject();
        });
        m_rig->session.commandProcs().run(Command::PublishReadings);
        for (QWidget *window : windows) {
            QVERIFY(window);
            window->show();
            QCoreApplication::processEvents();
            faults << clipped(window);
        }
        // Every tab of the Options dialog.
        auto *tabs = options->findChild<QTabWidget *>("SSTab1");
        for (int tab = 1; tab < tabs->count(); ++tab) {
            tabs->setCurrentIndex(tab);
            QCoreApplication::processEvents();
            faults << clipped(options);
        }
        // VOLTRIX_SCREENSHOTS=docs/screenshots keeps what was checked.
        if (const QString folder = qEnvironmentVariable("VOLTRIX_SCREENSHOTS"); !folder.isEmpty()) {
            tabs->setCurrentIndex(0);
            m_frame->grab().save(QDir(folder).filePath("main-window-" + language + ".png"));
            windows.at(5)->grab().save(QDir(folder).filePath("setup-dialog-" + language + ".png"));
        }
        faults.removeDuplicates();
        QVERIFY2(faults.isEmpty(), qPrintable(faults.join(u'\n')));
    }
};

QTEST_MAIN(TestLanguages)
#include "tst_gui_languages.moc"

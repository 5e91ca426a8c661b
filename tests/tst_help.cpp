// The help documents found for the system's language, and the system information text.
#include <QtTest>
#include <array>

#include "core/help/HelpDocuments.h"
#include "core/help/SystemInfo.h"
#include "core/language/SystemLanguage.h"
#include "core/language/UiLanguage.h"

using HelpDocuments::Document;
using Ports = QList<SystemInfo::SerialPort>;
Q_DECLARE_METATYPE(Document)
Q_DECLARE_METATYPE(Ports)

namespace
{
const SystemInfo::Context Paths{1033, QStringLiteral("/home/ann/.local/share/Voltrix"),
                                QStringLiteral("/home/ann/.config/regtest.ini")};
} // namespace

class TestHelp : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void languageId_data()
    {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<int>("id");
        QTest::addColumn<QString>("windows"); // the language of the windows it selects
        QTest::newRow("Chinese, Taiwan") << "zh_TW" << 1028 << "zh_TW";
        QTest::newRow("English, United States") << "en_US" << 1033 << "en";
        QTest::newRow("Japanese") << "ja_JP" << 1041 << "ja";
        QTest::newRow("Chinese, China") << "zh_CN" << 2052 << "en";
        QTest::newRow("traditional Chinese elsewhere") << "zh_Hant_US" << 1028 << "zh_TW";
        QTest::newRow("simplified Chinese elsewhere") << "zh_Hans_US" << 2052 << "en";
        QTest::newRow("English elsewhere") << "en_DE" << 1033 << "en";
        QTest::newRow("German, Belgium: the language's default") << "de_BE" << 1031 << "en";
        QTest::newRow("unlisted language") << "sw_KE" << 1033 << "en";
        QTest::newRow("C locale") << "C" << 1033 << "en";
    }
    void languageId()
    {
        QFETCH(QString, locale);
        QFETCH(int, id);
        QCOMPARE(SystemLanguage::languageId(QLocale(locale)), id);
        QTEST(UiLanguage::fromSystem(id), "windows");
        // The windows' language picks the documents the system's language picks.
        QCOMPARE(HelpDocuments::fileName(HelpDocuments::Document::Manual,
                                         UiLanguage::languageId(UiLanguage::fromSystem(id))),
                 HelpDocuments::fileName(HelpDocuments::Document::Manual, id));
    }
    // The command line's choice over the Options dialog's over the system's; an unknown name
    // counts as no choice.
    void languageChoice_data()
    {
        QTest::addColumn<QString>("commandLine");
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("chosen");
        for (const auto &[name, commandLine, stored, chosen] :
             {std::array{"system", "", "", "ja"}, std::array{"stored", "", "zh_TW", "zh_TW"},
              std::array{"command line", "en", "zh_TW", "en"}, std::array{"unknown names", "fr", "jp", "ja"}})
            QTest::newRow(name) << QString::fromLatin1(commandLine) << QString::fromLatin1(stored)
                                << QString::fromLatin1(chosen);
    }
    void languageChoice()
    {
        QFETCH(QString, commandLine);
        QFETCH(QString, stored);
        QTEST(UiLanguage::choose(commandLine, stored, SystemLanguage::Japanese), "chosen");
    }
    // The document opened from a program folder that holds exactly `present`.
    void locate_data()
    {
        QTest::addColumn<Document>("document");
        QTest::addColumn<int>("id");
        QTest::addColumn<QStringList>("present");
        QTest::addColumn<QString>("opened");
        const QString taiwanese = QStringLiteral(u"Voltrix使用說明書.pdf");
        const QStringList english{"Voltrix user's manual.pdf", "help_en.pdf"};
        const QStringList all =
            english + QStringList{"Voltrix user's manual_jp.pdf", "help_jp.pdf", taiwanese, "help_ch.pdf"};
        QTest::newRow("1028 help") << Document::Help << 1028 << all << "help_ch.pdf";
        QTest::newRow("1028 manual") << Document::Manual << 1028 << QStringList{taiwanese} << taiwanese;
        QTest::newRow("1033 manual") << Document::Manual << 1033 << all << "Voltrix user's manual.pdf";
        QTest::newRow("1041 manual") << Document::Manual << 1041 << all << "Voltrix user's manual_jp.pdf";
        QTest::newRow("1041 help") << Document::Help << 1041 << all << "help_jp.pdf";
        QTest::newRow("1031 help") << Document::Help << 1031 << all << "help_en.pdf";
        QTest::newRow("2052 manual") << Document::Manual << 2052 << all << "Voltrix user's manual.pdf";
        QTest::newRow("2052 help") << Document::Help << 2052 << all << "help_en.pdf";
        QTest::newRow("Japanese manual missing, English present")
            << Document::Manual << 1041 << english << "Voltrix user's manual.pdf";
        QTest::newRow("neither manual: nothing opens")
            << Document::Manual << 1041 << QStringList{"help_en.pdf"} << "";
        QTest::newRow("no documents at all") << Document::Help << 1033 << QStringList{} << "";
    }
    void locate()
    {
        QFETCH(Document, document);
        QFETCH(int, id);
        QFETCH(QStringList, present);
        QFETCH(QString, opened);
        const QString folder = QStringLiteral("/opt/voltrix/");
        const auto finder = [&](const QString &name) {
            return present.contains(name) ? folder + name : QString();
        };
        QCOMPARE(HelpDocuments::locate(document, id, finder), opened.isEmpty() ? opened : folder + opened);
    }
    void systemInfo_data()
    {
        QTest::addColumn<Ports>("ports");
        QTest::addColumn<QString>("listed");
        QTest::newRow("none") << Ports{} << "  none found\n";
        QTest::newRow("USB adapter and a bare port")
            << Ports{{"ttyUSB0", "/dev/ttyUSB0", "CP2102 USB to UART Bridge Controller", "Silicon Labs",
                      "0001", quint16(0x10c4), quint16(0xea60)},
                     {"ttyS0", "/dev/ttyS0", "", "", "", std::nullopt, std::nullopt}}
            << "  ttyUSB0 (/dev/ttyUSB0): CP2102 USB to UART Bridge Controller, Silicon Labs, USB 10c4:ea60, "
               "serial number 0001\n"
               "  ttyS0 (/dev/ttyS0)\n";
    }
    void systemInfo()
    {
        QFETCH(Ports, ports);
        QFETCH(QString, listed);
        const SystemInfo::Facts facts{"Debian GNU/Linux 12 (bookworm)", "linux 6.1.0-18-amd64", "x86_64",
                                      "6.4.2", ports};
        QCOMPARE(SystemInfo::text(facts, Paths).value_or(QString()),
                 QStringLiteral("Voltrix " VOLTRIX_VERSION "\n"
                                "Operating system: Debian GNU/Linux 12 (bookworm)\n"
                                "Kernel: linux 6.1.0-18-amd64\n"
                                "CPU architecture: x86_64\n"
                                "Qt version: 6.4.2\n"
                                "System language ID: 1033\n"
                                "Records folder: /home/ann/.local/share/Voltrix\n"
                                "Settings file: /home/ann/.config/regtest.ini\n"
                                "Serial ports:\n") +
                     listed);
    }
    void systemInfoUnavailable()
    {
        SystemInfo::Facts facts{"unknown", "", "", "6.4.2", {}};
        QVERIFY(!SystemInfo::text(facts, Paths));
        facts.kernel = QStringLiteral("linux 6.1.0");
        const QString text = SystemInfo::text(facts, {}).value_or(QString());
        QVERIFY(text.contains(QStringLiteral("Operating system: unknown\n")));
        QVERIFY(text.contains(QStringLiteral("Settings file: unknown\n")));
        // The facts of this system make a text too.
        const SystemInfo::Facts gathered = SystemInfo::gather();
        QCOMPARE(gathered.qtVersion, QString::fromLatin1(qVersion()));
        QVERIFY(SystemInfo::text(gathered, Paths));
    }
};

QTEST_GUILESS_MAIN(TestHelp)
#include "tst_help.moc"

#include <QtTest>

#include "core/help/HelpDocuments.h"
#include "core/help/SystemInfo.h"
#include "core/help/SystemLanguage.h"
#include "core/help/UiLanguage.h"

using HelpDocuments::Document;

Q_DECLARE_METATYPE(Document)

namespace
{

// A program folder that holds exactly `present`.
HelpDocuments::Finder folderWith(const QStringList &present)
{
    return [present](const QString &name) {
        return present.contains(name) ? QStringLiteral("/opt/voltrix/") + name : QString();
    };
}

SystemInfo::Facts debianFacts()
{
    SystemInfo::Facts facts;
    facts.operatingSystem = QStringLiteral("Debian GNU/Linux 12 (bookworm)");
    facts.kernel = QStringLiteral("linux 6.1.0-18-amd64");
    facts.cpuArchitecture = QStringLiteral("x86_64");
    facts.qtVersion = QStringLiteral("6.4.2");
    return facts;
}

const SystemInfo::Context Paths{1033, QStringLiteral("/home/ann/.local/share/Voltrix"),
                                QStringLiteral("/home/ann/.config/regtest.ini")};

} // namespace

class TestHelp : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void languageId_data();
    void languageId();
    void languageChoice_data();
    void languageChoice();
    void fileNames_data();
    void fileNames();
    void locate_data();
    void locate();
    void systemInfo();
    void systemInfoPorts();
    void systemInfoUnavailable();
    void gatheredFacts();
};

void TestHelp::languageId_data()
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
    QTest::newRow("German") << "de_DE" << 1031 << "en";
    QTest::newRow("German, Belgium: the language's default") << "de_BE" << 1031 << "en";
    QTest::newRow("unlisted language") << "sw_KE" << 1033 << "en";
    QTest::newRow("C locale") << "C" << 1033 << "en";
}

void TestHelp::languageId()
{
    QFETCH(QString, locale);
    QFETCH(int, id);
    QFETCH(QString, windows);
    QCOMPARE(SystemLanguage::languageId(QLocale(locale)), id);
    QCOMPARE(UiLanguage::fromSystem(id), windows);
}

// The command line's choice over the Options dialog's over the system's; an unknown name counts
// as no choice.
void TestHelp::languageChoice_data()
{
    QTest::addColumn<QString>("commandLine");
    QTest::addColumn<QString>("stored");
    QTest::addColumn<QString>("chosen");
    QTest::newRow("system") << ""
                            << ""
                            << "ja";
    QTest::newRow("stored") << ""
                            << "zh_TW"
                            << "zh_TW";
    QTest::newRow("command line") << "en"
                                  << "zh_TW"
                                  << "en";
    QTest::newRow("unknown names") << "fr"
                                   << "jp"
                                   << "ja";
}

void TestHelp::languageChoice()
{
    QFETCH(QString, commandLine);
    QFETCH(QString, stored);
    QFETCH(QString, chosen);
    QCOMPARE(UiLanguage::choose(commandLine, stored, SystemLanguage::Japanese), chosen);
}

void TestHelp::fileNames_data()
{
    QTest::addColumn<int>("id");
    QTest::addColumn<QString>("manual");
    QTest::addColumn<QString>("help");
    QTest::newRow("1028") << 1028 << QStringLiteral(u"Voltrix使用說明書.pdf") << "help_ch.pdf";
    QTest::newRow("1033") << 1033 << "Voltrix user's manual.pdf"
                          << "help_en.pdf";
    QTest::newRow("1041") << 1041 << "Voltrix user's manual_jp.pdf"
                          << "help_jp.pdf";
    QTest::newRow("2052") << 2052 << "Voltrix user's manual.pdf"
                          << "help_en.pdf";
}

void TestHelp::fileNames()
{
    QFETCH(int, id);
    QFETCH(QString, manual);
    QFETCH(QString, help);
    QCOMPARE(HelpDocuments::fileName(Document::Manual, id), manual);
    QCOMPARE(HelpDocuments::fileName(Document::Help, id), help);
}

void TestHelp::locate_data()
{
    QTest::addColumn<Document>("document");
    QTest::addColumn<int>("id");
    QTest::addColumn<QStringList>("present");
    QTest::addColumn<QString>("opened");
    const QStringList english{"Voltrix user's manual.pdf", "help_en.pdf"};
    const QStringList all = english + QStringList{"Voltrix user's manual_jp.pdf", "help_jp.pdf",
                                                  QStringLiteral(u"Voltrix使用說明書.pdf"), "help_ch.pdf"};
    QTest::newRow("1028 help") << Document::Help << 1028 << all << "/opt/voltrix/help_ch.pdf";
    QTest::newRow("1033 manual") << Document::Manual << 1033 << all
                                 << "/opt/voltrix/Voltrix user's manual.pdf";
    QTest::newRow("1041 manual") << Document::Manual << 1041 << all
                                 << "/opt/voltrix/Voltrix user's manual_jp.pdf";
    QTest::newRow("1031 help") << Document::Help << 1031 << all << "/opt/voltrix/help_en.pdf";
    QTest::newRow("Japanese manual missing, English present")
        << Document::Manual << 1041 << english << "/opt/voltrix/Voltrix user's manual.pdf";
    QTest::newRow("Japanese help present")
        << Document::Help << 1041 << (english + QStringList{"help_jp.pdf"}) << "/opt/voltrix/help_jp.pdf";
    QTest::newRow("2052 uses the English help")
        << Document::Help << 2052 << english << "/opt/voltrix/help_en.pdf";
    QTest::newRow("Taiwanese manual present")
        << Document::Manual << 1028 << QStringList{QStringLiteral(u"Voltrix使用說明書.pdf")}
        << QStringLiteral(u"/opt/voltrix/Voltrix使用說明書.pdf");
    QTest::newRow("neither manual: nothing opens")
        << Document::Manual << 1041 << QStringList{"help_en.pdf"} << "";
    QTest::newRow("no documents at all") << Document::Help << 1033 << QStringList{} << "";
}

void TestHelp::locate()
{
    QFETCH(Document, document);
    QFETCH(int, id);
    QFETCH(QStringList, present);
    QFETCH(QString, opened);
    QCOMPARE(HelpDocuments::locate(document, id, folderWith(present)), opened);
}

void TestHelp::systemInfo()
{
    const std::optional<QString> text = SystemInfo::text(debianFacts(), Paths);
    QVERIFY(text);
    QCOMPARE(*text, QStringLiteral("Voltrix 1.0.21\n"
                                   "Operating system: Debian GNU/Linux 12 (bookworm)\n"
                                   "Kernel: linux 6.1.0-18-amd64\n"
                                   "CPU architecture: x86_64\n"
                                   "Qt version: 6.4.2\n"
                                   "System language ID: 1033\n"
                                   "Records folder: /home/ann/.local/share/Voltrix\n"
                                   "Settings file: /home/ann/.config/regtest.ini\n"
                                   "Serial ports:\n"
                                   "  none found\n"));
}

void TestHelp::systemInfoPorts()
{
    SystemInfo::Facts facts = debianFacts();
    facts.serialPorts
        << SystemInfo::SerialPort{"ttyUSB0",      "/dev/ttyUSB0", "CP2102 USB to UART Bridge Controller",
                                  "Silicon Labs", "0001",         quint16(0x10c4),
                                  quint16(0xea60)}
        << SystemInfo::SerialPort{"ttyS0", "/dev/ttyS0", "", "", "", std::nullopt, std::nullopt};
    const QString text = SystemInfo::text(facts, Paths).value_or(QString());
    QVERIFY2(text.endsWith(QStringLiteral("Serial ports:\n"
                                          "  ttyUSB0 (/dev/ttyUSB0): CP2102 USB to UART Bridge Controller, "
                                          "Silicon Labs, USB 10c4:ea60, serial number 0001\n"
                                          "  ttyS0 (/dev/ttyS0)\n")),
             qPrintable(text));
}

void TestHelp::systemInfoUnavailable()
{
    SystemInfo::Facts facts;
    facts.operatingSystem = QStringLiteral("unknown");
    facts.qtVersion = QStringLiteral("6.4.2");
    QVERIFY(!SystemInfo::text(facts, Paths));

    facts.kernel = QStringLiteral("linux 6.1.0");
    const QString text = SystemInfo::text(facts, {}).value_or(QString());
    QVERIFY(text.contains(QStringLiteral("Operating system: unknown\n")));
    QVERIFY(text.contains(QStringLiteral("Settings file: unknown\n")));
}

void TestHelp::gatheredFacts()
{
    const SystemInfo::Facts facts = SystemInfo::gather();
    QCOMPARE(facts.qtVersion, QString::fromLatin1(qVersion()));
    QVERIFY(SystemInfo::text(facts, Paths));
}

QTEST_GUILESS_MAIN(TestHelp)
#include "tst_help.moc"

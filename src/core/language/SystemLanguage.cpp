#include "core/language/SystemLanguage.h"

namespace SystemLanguage
{
namespace
{

struct Entry {
    QLocale::Language language;
    QLocale::Territory territory; // AnyTerritory: the language's default
    int id;
};

// Windows language IDs: the primary language in the low ten bits, the country's sublanguage
// above them.
constexpr Entry Table[] = {
    {QLocale::English, QLocale::AnyTerritory, 1033},
    {QLocale::English, QLocale::UnitedStates, 1033},
    {QLocale::English, QLocale::UnitedKingdom, 2057},
    {QLocale::English, QLocale::Australia, 3081},
    {QLocale::English, QLocale::Canada, 4105},
    {QLocale::English, QLocale::NewZealand, 5129},
    {QLocale::English, QLocale::Ireland, 6153},
    {QLocale::English, QLocale::SouthAfrica, 7177},
    {QLocale::English, QLocale::Philippines, 13321},
    {QLocale::English, QLocale::India, 16393},
    {QLocale::English, QLocale::Malaysia, 17417},
    {QLocale::English, QLocale::Singapore, 18441},
    {QLocale::Chinese, QLocale::Taiwan, 1028},
    {QLocale::Chinese, QLocale::China, 2052},
    {QLocale::Chinese, QLocale::HongKong, 3076},
    {QLocale::Chinese, QLocale::Singapore, 4100},
    {QLocale::Chinese, QLocale::Macao, 5124},
    {QLocale::Japanese, QLocale::AnyTerritory, 1041},
    {QLocale::Korean, QLocale::AnyTerritory, 1042},
    {QLocale::German, QLocale::AnyTerritory, 1031},
    {QLocale::German, QLocale::Switzerland, 2055},
    {QLocale::German, QLocale::Austria, 3079},
    {QLocale::German, QLocale::Luxembourg, 4103},
    {QLocale::German, QLocale::Liechtenstein, 5127},
    {QLocale::French, QLocale::AnyTerritory, 1036},
    {QLocale::French, QLocale::Belgium, 2060},
    {QLocale::French, QLocale::Canada, 3084},
    {QLocale::French, QLocale::Switzerland, 4108},
    {QLocale::French, QLocale::Luxembourg, 5132},
    {QLocale::Spanish, QLocale::AnyTerritory, 3082},
    {QLocale::Spanish, QLocale::Mexico, 2058},
    {QLocale::Spanish, QLocale::Colombia, 9226},
    {QLocale::Spanish, QLocale::Argentina, 11274},
    {QLocale::Spanish, QLocale::Chile, 13322},
    {QLocale::Spanish, QLocale::UnitedStates, 21514},
    {QLocale::Italian, QLocale::AnyTerritory, 1040},
    {QLocale::Italian, QLocale::Switzerland, 2064},
    {QLocale::Portuguese, QLocale::AnyTerritory, 2070},
    {QLocale::Portuguese, QLocale::Brazil, 1046},
    {QLocale::Dutch, QLocale::AnyTerritory, 1043},
    {QLocale::Dutch, QLocale::Belgium, 2067},
    {QLocale::Swedish, QLocale::AnyTerritory, 1053},
    {QLocale::Swedish, QLocale::Finland, 2077},
    {QLocale::Danish, QLocale::AnyTerritory, 1030},
    {QLocale::Finnish, QLocale::AnyTerritory, 1035},
    {QLocale::NorwegianBokmal, QLocale::AnyTerritory, 1044},
    {QLocale::NorwegianNynorsk, QLocale::AnyTerritory, 2068},
    {QLocale::Icelandic, QLocale::AnyTerritory, 1039},
    {QLocale::Russian, QLocale::AnyTerritory, 1049},
    {QLocale::Ukrainian, QLocale::AnyTerritory, 1058},
    {QLocale::Polish, QLocale::AnyTerritory, 1045},
    {QLocale::Czech, QLocale::AnyTerritory, 1029},
    {QLocale::Slovak, QLocale::AnyTerritory, 1051},
    {QLocale::Slovenian, QLocale::AnyTerritory, 1060},
    {QLocale::Croatian, QLocale::AnyTerritory, 1050},
    {QLocale::Hungarian, QLocale::AnyTerritory, 1038},
    {QLocale::Romanian, QLocale::AnyTerritory, 1048},
    {QLocale::Bulgarian, QLocale::AnyTerritory, 1026},
    {QLocale::Greek, QLocale::AnyTerritory, 1032},
    {QLocale::Turkish, QLocale::AnyTerritory, 1055},
    {QLocale::Estonian, QLocale::AnyTerritory, 1061},
    {QLocale::Latvian, QLocale::AnyTerritory, 1062},
    {QLocale::Lithuanian, QLocale::AnyTerritory, 1063},
    {QLocale::Catalan, QLocale::AnyTerritory, 1027},
    {QLocale::Arabic, QLocale::AnyTerritory, 1025},
    {QLocale::Arabic, QLocale::Egypt, 3073},
    {QLocale::Arabic, QLocale::UnitedArabEmirates, 14337},
    {QLocale::Hebrew, QLocale::AnyTerritory, 1037},
    {QLocale::Persian, QLocale::AnyTerritory, 1065},
    {QLocale::Hindi, QLocale::AnyTerritory, 1081},
    {QLocale::Thai, QLocale::AnyTerritory, 1054},
    {QLocale::Vietnamese, QLocale::AnyTerritory, 1066},
    {QLocale::Indonesian, QLocale::AnyTerritory, 1057},
    {QLocale::Malay, QLocale::AnyTerritory, 1086},
};

} // namespace

int languageId(const QLocale &locale)
{
    const QLocale::Language language = locale.language();
    int languageDefault = 0;
    for (const Entry &entry : Table) {
        if (entry.language != language) continue;
        if (entry.territory == locale.territory()) return entry.id;
        if (entry.territory == QLocale::AnyTerritory) languageDefault = entry.id;
    }
    if (language == QLocale::Chinese)
        return locale.script() == QLocale::TraditionalHanScript ? ChineseTaiwan : 2052;
    return languageDefault != 0 ? languageDefault : EnglishUnitedStates;
}

int systemLanguageId()
{
    return languageId(QLocale::system());
}

} // namespace SystemLanguage

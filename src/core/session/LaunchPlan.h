#pragma once
#include <QString>
#include <QStringList>
#include <optional>

#include "core/graph/GraphViewState.h"
#include "core/publish/PublishOptions.h"
#include "core/publish/StreamWriter.h"
#include "core/session/UnattendedRun.h"

// The files an unattended run writes after Stop besides the record: the table and the graph
// printed into PDF files and the graph page saved as an image ("" = none).
struct UnattendedFiles {
    QString dataPdf;
    QString graphPdf;
    QString graphImage;
};

// What the command line of voltrix asks for, every option and value checked before anything
// starts: the program runs the plan, prints its help or version, or refuses the command line.
struct LaunchPlan {
    enum class Action { Run, ShowHelpOrVersion, Refuse };
    // The exit status of a command line refused: nothing is started.
    static constexpr int BadOption = 2;

    // What the command line is read against.
    struct Surroundings {
        PublishOptions storedPublishing;     // the "Publish readings" settings
        std::optional<QString> mqttPassword; // $VOLTRIX_MQTT_PASSWORD, when set
        QString hostName;                    // names the default topic prefix of --mqtt
    };

    static LaunchPlan read(const QStringList &arguments, const Surroundings &surroundings);
    // Prints the help or the version that `arguments` ask for and ends the program (status 0).
    static void showHelpOrVersion(const QStringList &arguments);
    // Read before the application exists: the language of --lang ("" = none given), and whether
    // the run needs no display (unattended, or only printing its help or version).
    static QString languageArgument(const QStringList &arguments);
    static bool needsNoDisplay(const QStringList &arguments);

    Action action = Action::Run;
    QString refusal;     // Refuse: what is wrong, as the program prints it after "voltrix: "
    QStringList notices; // told on standard error before the run: the run goes on

    QString ports; // the devices behind COM 1, COM 2, ... ("" = $VOLTRIX_PORTS, else the system's)
    bool demo = false;
    UnattendedRun::Plan run;
    UnattendedFiles files;
    QString energyPath; // "" = none
    GraphViewKind graphView = GraphViewKind::MainChannel;
    int graphZoom = 0;
    // The command line's --mqtt options over the stored settings; an empty url: publishing is off.
    PublishOptions publishing;
    std::optional<StreamWriter::Format> stream;

    bool unattended() const { return run.record || run.quit; }
};

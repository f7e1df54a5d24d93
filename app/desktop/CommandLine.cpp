// Reading the command line with QCommandLineParser; the help and version texts.
#include "CommandLine.h"

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QDir>
#include <QFileInfo>

#include "core/SettingsPath.h"
#include "core/Version.h"

namespace {

struct TOptions {
    QCommandLineOption help{{QStringLiteral("h"), QStringLiteral("help")},
                            QStringLiteral("Show this help and end.")};
    QCommandLineOption version{{QStringLiteral("v"), QStringLiteral("version")},
                               QStringLiteral("Show the program's version and end.")};
    QCommandLineOption minimized{
        QStringLiteral("minimized"),
        QStringLiteral("Start hidden in the tray (a normal window when no tray comes within five "
                       "seconds).")};
    QCommandLineOption port{
        QStringLiteral("port"),
        QStringLiteral("Use only this port for the controller: a device path such as "
                       "/dev/ttyUSB0, or serial:<USB serial number>."),
        QStringLiteral("PORT")};
    QCommandLineOption settings{QStringLiteral("settings"),
                                QStringLiteral("Use FILE as the settings file."),
                                QStringLiteral("FILE")};

    void AddTo(QCommandLineParser& parser) const {
        parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
        parser.addOptions({help, version, minimized, port, settings});
        // The options QApplication takes for itself; they pass here and reach it unchanged.
        for (const char* name :
             {"platform", "platformpluginpath", "platformtheme", "plugin", "qmljsdebugger",
              "qwindowgeometry", "qwindowicon", "qwindowtitle", "session", "display", "geometry",
              "style", "stylesheet", "title", "name", "visual"}) {
            QCommandLineOption option(QLatin1String(name), QString(), QStringLiteral("value"));
            option.setFlags(QCommandLineOption::HiddenFromHelp);
            parser.addOption(option);
        }
        for (const char* name : {"reverse", "widgetcount", "nograb", "dograb", "sync"}) {
            QCommandLineOption option{QLatin1String(name)};
            option.setFlags(QCommandLineOption::HiddenFromHelp);
            parser.addOption(option);
        }
    }
};

QString ProgramName(const QStringList& arguments) {
    return arguments.isEmpty() ? QStringLiteral("kelvane")
                               : QFileInfo(arguments.first()).fileName();
}

QString HelpText(const QString& program, const TOptions& options, const QString& settingsFile) {
    QString text = QStringLiteral(
                       "Usage: %1 [options]\n"
                       "Kelvane QV-725 control software.\n\nOptions:\n")
                       .arg(program);
    const QList<QCommandLineOption> list = {options.help, options.version, options.minimized,
                                            options.port, options.settings};
    for (const QCommandLineOption& option : list) {
        QStringList names;
        for (const QString& name : option.names())
            names << (name.size() == 1 ? QStringLiteral("-") : QStringLiteral("--")) + name;
        QString left = names.join(QStringLiteral(", "));
        if (!option.valueName().isEmpty())
            left += QLatin1Char(' ') + option.valueName();
        // Descriptions wrap at 100 columns, continued under their first line.
        QString line = QStringLiteral("  %1  ").arg(left, -17);
        const qsizetype indent = line.size();
        for (const QString& word : option.description().split(QLatin1Char(' '))) {
            if (line.size() + word.size() > 99 && line.size() > indent) {
                line.chop(1);
                text += line + QLatin1Char('\n');
                line = QString(indent, QLatin1Char(' '));
            }
            line += word + QLatin1Char(' ');
        }
        line.chop(1);
        text += line + QLatin1Char('\n');
    }
    text += QStringLiteral("\nSettings file of this start: %1\n").arg(settingsFile);
    return text;
}

TCommandLineResult Error(const QString& program, const QString& message) {
    TCommandLineResult result;
    result.Action = TCommandLineResult::TAction::ExitError;
    result.Output =
        QStringLiteral("%1: %2\nTry '%1 --help' for the options.\n").arg(program, message);
    return result;
}

}  // namespace

QString UsualSettingsFile() {
    // The start-up's own choice, so the help never names another file than the one a start
    // uses (it may create the user's configuration folder, as that start would).
    const QString program = QFileInfo(QStringLiteral("/proc/self/exe")).canonicalFilePath();
    return QString::fromStdString(SettingsFilePath(program.toStdString()));
}

QString VersionText() {
    return QStringLiteral("Kelvane ") + QString::fromStdString(GetVersion());
}

TCommandLineResult ParseCommandLine(const QStringList& arguments,
                                    const std::function<QString()>& settingsFileInUse) {
    const QString program = ProgramName(arguments);
    const TOptions options;
    QCommandLineParser parser;
    options.AddTo(parser);
    if (!parser.parse(arguments))
        return Error(program, parser.errorText());
    if (!parser.positionalArguments().isEmpty()) {
        return Error(
            program,
            QStringLiteral("unexpected argument '%1'.").arg(parser.positionalArguments().first()));
    }

    TCommandLineResult result;
    if (parser.isSet(options.settings)) {
        const QString file = parser.value(options.settings);
        if (file.isEmpty())
            return Error(program, QStringLiteral("--settings needs a file name."));
        result.Options.SettingsFile = QDir::cleanPath(QDir::current().absoluteFilePath(file));
    }
    if (parser.isSet(options.port)) {
        result.Options.Port = parser.value(options.port);
        if (result.Options.Port.isEmpty()) {
            return Error(program, QStringLiteral("--port needs a device path or "
                                                 "serial:<USB serial number>."));
        }
    }
    result.Options.Minimized = parser.isSet(options.minimized);

    if (parser.isSet(options.help)) {
        result.Action = TCommandLineResult::TAction::ExitOutput;
        const QString file = !result.Options.SettingsFile.isEmpty()
                                 ? result.Options.SettingsFile
                                 : (settingsFileInUse ? settingsFileInUse() : QString());
        result.Output = HelpText(program, options, file);
    } else if (parser.isSet(options.version)) {
        result.Action = TCommandLineResult::TAction::ExitOutput;
        result.Output = VersionText() + QLatin1Char('\n');
    }
    return result;
}

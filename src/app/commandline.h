#pragma once

#include "remotetarget.h"

#include <QString>
#include <QStringList>

// What the program was asked to do by its arguments.
struct CommandLine {
    enum Action {
        Window,  // open the timer window (no arguments: exactly the plain start)
        Command, // send `command` to the running window
        Status,  // print the running window's state
        Help,
        Version,
        Error // `error` says what is wrong
    };
    Action action = Window;
    RemoteCommand command = RemoteCommand::Start;
    bool inSettingsDir = false; // --config-dir: start in the settings folder
    QString settingsDir;        // --config-dir=DIR; empty for the usual one
    QStringList qtArguments;    // -platform NAME, -display NAME: handed on to Qt
    QString error;
};

// args: the arguments without the program name.
CommandLine ParseCommandLine(const QStringList& args);

QString UsageText();
QString VersionText();

// The folder --config-dir starts in: DIR when given, else $XDG_CONFIG_HOME/pendra, where
// an empty or relative XDG_CONFIG_HOME means ~/.config.
QString SettingsDirFor(const QString& given, const QString& xdgConfigHome, const QString& home);

// Creates the folder when missing and makes it the current directory; false and a message
// in `error` when it cannot.
bool EnterSettingsDir(const QString& dir, QString* error);

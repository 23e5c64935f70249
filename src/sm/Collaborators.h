#pragma once

#include "IUi.h"
#include "RootWatch.h"

#include <QCoreApplication>
#include <QObject>

#include <functional>
#include <memory>

// What the running application is made of: the user interface and the two
// managers, each made when the machine enters States::Common. The program
// passes the real ones, tests pass fakes. A manager is reached only by the
// names of its signals and slots (see Common.cpp), so any QObject that has
// them will do; a missing name is reported when the machine starts.
struct Collaborators {
    std::function<std::unique_ptr<Ui::IUi>()> makeUi;
    std::function<std::unique_ptr<QObject>()> makeUsbManager;
    std::function<std::unique_ptr<QObject>()> makeMapUpdateManager;
    // Ends the event loop.
    std::function<void()> quit = [] { QCoreApplication::quit(); };
    // False: the managers stay on the GUI thread, so that fakes record calls
    // in the order the machine makes them.
    bool managersOnThreads = true;
    // Whether a stick's root answers, for the root watch and the teardown;
    // asked on a thread of its own unless tests keep it on the GUI thread.
    RootWatch::Query rootAnswers = RootWatch::Answers;
    bool rootsOnThreads = true;
    // Told when the teardown left a manager's thread running, held in a call
    // on a stick that does not answer.
    std::function<void()> threadLeft = [] {};
};

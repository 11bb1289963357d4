#pragma once

#include <QString>

#include <functional>
#include <memory>

class QWidget;
class TAppContext;

// What a picture is made from: the loaded fixture settings, already speaking
// the language of this pass ("English" or "Russian").
struct TShotEnv {
    TAppContext& Context;
    QString Language;
};

// Builds the window to photograph; the tool shows it, waits for it to paint,
// grabs it into <name>_<language>.png and destroys it.
using TShotMaker = std::function<std::unique_ptr<QWidget>(TShotEnv&)>;

struct TShot {
    QString Name;
    TShotMaker Make;
};

// Each window's file registers its pictures with one static registrar, so that
// adding a window never touches a shared list.
std::vector<TShot>& RegisteredShots();

struct TShotRegistrar {
    TShotRegistrar(const char* name, TShotMaker make);
};

#pragma once

#include "ini/ini_document.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <utility>
#include <vector>

class TEngineServices;

// The sections a profile of every kind has: its settings, which also hold its
// script lists ("_st"), and its file exclusions ("_Ex"), each named UID + suffix.
QString ProfileSettingsSection(const QString& uid);
QString ProfileExcludeSection(const QString& uid);

// What the settings file holds of one kind of profile, written down by the
// kind itself, so that the loader and the writer need not know the kinds.
struct TProfileKindInfo {
    // The section that lists the kind's profiles, one "UID=title" a profile.
    QString ListSection;
    // The start of the kind's profile UIDs.
    QString UIDPrefix;
    // The sections of one profile besides those every profile has, each
    // named UID + suffix (the empty suffix is the section named by the UID).
    QStringList SectionSuffixes;
    // Makes the profiles named in the list section, in file order, in the
    // services' profile list. An error stops the kind: the profiles read
    // before it stay, the rest is not made.
    std::function<void(const IniDocument& ini, TEngineServices& services)> Load;
};

// The kinds the settings file knows, in the order they are loaded. The
// composition root registers them; a test may build a list of its own.
class TProfileKinds {
public:
    void Register(TProfileKindInfo kind) { fKinds.push_back(std::move(kind)); }

    // Every kind's profiles, kind after kind in registration order.
    void LoadAll(const IniDocument& ini, TEngineServices& services) const;
    // Takes uid out of every kind's list section and erases every section a
    // profile of any kind may have under that UID (the script branches
    // excepted: they belong to the scripts).
    void EraseProfile(IniDocument& ini, const QString& uid) const;

private:
    std::vector<TProfileKindInfo> fKinds;
};

#pragma once

#include <QString>
#include <QStringList>

#include <array>
#include <vector>

class TAppContext;

// The taskbar jump list: three categories (sync, archive backup, folder
// archiving), each with at most three profiles, the newest first; an item
// starts the program with "/" + the profile's UID.
struct TJumpListItem {
    QString Title;
    QString Arguments;
    bool operator==(const TJumpListItem&) const = default;
};
struct TJumpList {
    std::array<QString, 3> CategoryNames;
    std::array<std::vector<TJumpListItem>, 3> Categories;
};

TJumpList BuildJumpList(const TAppContext& context);

// Where a jump list is shown. This platform has none: the default publisher
// does nothing.
class IJumpListPublisher {
public:
    virtual ~IJumpListPublisher() = default;
    virtual void Publish(const TJumpList& list) = 0;
};

// Progress on the program's taskbar button. None on this platform.
class ITaskbarProgress {
public:
    virtual ~ITaskbarProgress() = default;
    virtual void SetProgress(int percent) = 0;
    // Value 0, no progress state.
    virtual void Reset() = 0;
};

class TNoJumpList : public IJumpListPublisher {
public:
    void Publish(const TJumpList&) override {}
};

class TNoTaskbarProgress : public ITaskbarProgress {
public:
    void SetProgress(int) override {}
    void Reset() override {}
};

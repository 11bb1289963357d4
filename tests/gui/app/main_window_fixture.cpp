#include "main_window_fixture.h"

#include "app/settings_loader.h"
#include "profiles/task_queue.h"
#include "folderzip/folderzip_task.h"
#include "gui/app/profile_list_model.h"
#include "gui/app/profile_list_view.h"
#include "lang/builtin_tables.h"
#include "profiles/backup_profile.h"
#include "settings/global_options.h"
#include "settings/save_settings.h"
#include "sync/sync_task.h"
#include "util/main_thread.h"
#include "zip/zip_task.h"

#include <QDir>
#include <QFile>
#include <QApplication>
#include <QDropEvent>
#include <QMimeData>
#include <QTest>

MainWindowTest::MainWindowTest() {
    // The data folder exists, as after the program's first save pass.
    QDir().mkpath(sandbox.path() + "/data");
    ctx = std::make_unique<TAppContext>(TAppPaths{sandbox.path() + "/data/", sandbox.path() + "/Lang/"});
    SetBuiltinEnglish(ctx->Language, ctx->Options.Language, ctx->Options.LanguageLocal);
    // Tests never lower their own priority.
    ctx->Options.LowPriorityWhenHiden = false;
}

MainWindowTest::~MainWindowTest() {
    window.reset();
    ctx.reset();
}

QString MainWindowTest::AddSync(const QString& title, const QString& source, const QString& storage,
                                const TLumo_ScriptList& before) {
    TLumo_Sync& sync = TLumo_Sync::Create(*ctx, {});
    TSyncSettings s;
    s.nTitle = title;
    const QString src = source.isEmpty() ? sandbox.file(title + "/src/") : source;
    const QString dst = storage.isEmpty() ? sandbox.file(title + "/dst/") : storage;
    QDir().mkpath(src);
    s.nValueList = {src, dst};
    s.nDeleteToRecycle = false;
    sync.ApplyNewSettings(s, false);
    if (!before.empty())
        sync.Profile()->SetScriptLists(before, {}, false);
    return sync.UID();
}

QString MainWindowTest::AddPausingSync(const QString& title) {
    TLumo_ProfileScript pause(TActionType::taPause);
    pause.AddValue("Pause", "60");
    // A file the run copies only if it gets past the pause.
    sandbox.writeFile(title + "/src/marker.txt", "copied only by a run that was not stopped");
    return AddSync(title, {}, {}, TLumo_ScriptList{pause});
}

QString MainWindowTest::AddZip(const QString& title) {
    TLumo_Zip& zip = TLumo_Zip::Create(*ctx, {});
    TZip_Settings s;
    s.nTitle = title;
    s.nFolder = sandbox.file(title + "/archives/");
    zip.ApplyNewSettings(s, false);
    return zip.UID();
}

QString MainWindowTest::AddFolderZip(const QString& title) {
    TLumo_FolderZip& folderZip = TLumo_FolderZip::Create(*ctx, {});
    TFolderZip_Settings s;
    s.nTitle = title;
    folderZip.ApplyNewSettings(s, false);
    return folderZip.UID();
}

TfrmMain& MainWindowTest::OpenWindow(TMainWindowStart start) {
    window = std::make_unique<TfrmMain>(*ctx, start);
    window->SetDeleteQuestion([](const QString&, const QString&) { return true; });
    window->show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    window->activateWindow();
    EXPECT_TRUE(QTest::qWaitForWindowActive(window.get()));
    return *window;
}

QPoint MainWindowTest::RowPoint(const QString& uid, int x, int yInRow) const {
    const int row = window->Model()->RowOf(uid);
    EXPECT_GE(row, 0) << uid.toStdString();
    const QRect rect = window->ListView()->visualRect(window->Model()->index(row));
    return {rect.left() + x, rect.top() + yInRow};
}

void MainWindowTest::ClickRow(const QString& uid, Qt::KeyboardModifiers modifiers, int x) {
    QTest::mouseClick(window->ListView()->viewport(), Qt::LeftButton, modifiers, RowPoint(uid, x));
}

void MainWindowTest::ClickActionButton(const QString& uid) { ClickRow(uid, Qt::NoModifier, 10); }

void MainWindowTest::DoubleClickRow(const QString& uid, int x) {
    QTest::mouseDClick(window->ListView()->viewport(), Qt::LeftButton, Qt::NoModifier, RowPoint(uid, x));
}

void MainWindowTest::DropSelectionOn(const QString& target, int yInRow) {
    TProfileListView* view = window->ListView();
    QMimeData mime;
    mime.setData("application/x-norvane-profile-rows", view->SelectedUIDs().join('\n').toUtf8());
    const QPointF at = RowPoint(target, 200, yInRow);
    QDragEnterEvent enter(at.toPoint(), Qt::MoveAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QDragMoveEvent move(at.toPoint(), Qt::MoveAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QDropEvent drop(at, Qt::MoveAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(view->viewport(), &enter);
    QApplication::sendEvent(view->viewport(), &move);
    QApplication::sendEvent(view->viewport(), &drop);
}

void MainWindowTest::WaitUntilQueueEmpty() {
    ServeMainThreadWhile([this] { return !ctx->TaskQueue().IsEmpty(); });
}

QStringList MainWindowTest::SavedPositions() {
    ctx->Saver().RunSaveAndWait();
    TGlobalOptions options;
    QStringList positions;
    LoadMainSection(ReadSettingsFile(ctx->Paths().SettingsFile()), options, positions);
    return positions;
}

bool MainWindowTest::CopiedMarker(const QString& title) const {
    return QFile::exists(sandbox.file(title + "/dst/marker.txt"));
}

QString MainWindowTest::Status(const QString& uid) const {
    const int row = window->Model()->RowOf(uid);
    const TGL_Profile* values = window->Model()->RowValues(row);
    return values ? values->txtStatus : QString();
}

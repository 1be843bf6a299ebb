#include "ui/main_frame.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>
#include <QStatusBar>
#include <QTest>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "model/preferences.h"
#include "model/string_table.h"
#include "support/test_env.h"
#include "ui/app_commands.h"
#include "ui/command_actions.h"
#include "ui/logic/command_id.h"
#include "ui/logic/menu_table.h"
#include "ui/scripted_services.h"

namespace tallowmere::ui {
namespace {

constexpr int kStandalone = 4;

// A view that handles the commands it is given, with states the test
// changes, and keeps what reached it.
class FakeView final : public QWidget, public CMainFrame::MView {
  public:
    std::map<int, CommandState> handled;
    std::vector<int> ran;
    std::vector<std::pair<std::uint32_t, std::uint32_t>> reloads;

    std::optional<CommandState> QueryCommand(int id) override {
        const auto it = handled.find(id);
        if (it == handled.end())
            return std::nullopt;
        return it->second;
    }
    void RunCommand(int id) override { ran.push_back(id); }
    void OnReloadRequest(std::uint32_t wParam, std::uint32_t lParam) override {
        reloads.emplace_back(wParam, lParam);
    }
};

class MainFrameTest : public ::testing::Test {
  protected:
    void SetUp() override {
        SetPlatformNumberSource([] { return kStandalone; });
        CreatePrefsKeys();
        SetPrefWinPos("");
    }
    void TearDown() override { SetPlatformNumberSource(nullptr); }

    static QAction* Command(CMainFrame& frame, int id) {
        return frame.findChild<QAction*>(QStringLiteral("cmd_%1").arg(id));
    }

    // The menus as an outline, as the table's own test writes it.
    static void Outline(const QList<QAction*>& actions, int depth, std::string& out) {
        for (const QAction* action : actions) {
            out += std::string(2 * depth, ' ');
            if (action->isSeparator()) {
                out += "---\n";
            } else if (action->menu() != nullptr) {
                out += action->text().toStdString() + "\n";
                Outline(action->menu()->actions(), depth + 1, out);
            } else {
                out += action->text().toStdString() + " [" + std::to_string(CommandOf(*action)) +
                       "]\n";
            }
        }
    }

    static void TableOutline(int parent, int depth, std::string& out) {
        for (const MenuEntry& e : MenuChildren(MainMenuTable(), parent)) {
            out += std::string(2 * depth, ' ');
            if (e.IsSeparator()) {
                out += "---\n";
            } else if (e.IsPopup()) {
                out += e.text + "\n";
                TableOutline(e.id, depth + 1, out);
            } else {
                out += e.text + " [" + std::to_string(e.id) + "]\n";
            }
        }
    }

    // Every menu and sub-menu of the menu bar.
    static std::vector<QMenu*> Menus(CMainFrame& frame) {
        std::vector<QMenu*> menus;
        const QList<QAction*> bar = frame.menuBar()->actions();
        std::vector<QAction*> pending(bar.begin(), bar.end());
        while (!pending.empty()) {
            QAction* action = pending.back();
            pending.pop_back();
            if (QMenu* menu = action->menu()) {
                menus.push_back(menu);
                const QList<QAction*> items = menu->actions();
                pending.insert(pending.end(), items.begin(), items.end());
            }
        }
        return menus;
    }

    static void ShowActive(CMainFrame& frame) {
        frame.ShowPlaced("");
        frame.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&frame));
    }

    test::ScriptedServices services_;
};

TEST_F(MainFrameTest, MenuBarIsBuiltFromTheTableWithOneActionPerCommand) {
    CMainFrame frame;
    std::string built;
    Outline(frame.menuBar()->actions(), 0, built);
    std::string table;
    TableOutline(0, 0, table);
    EXPECT_EQ(built, table);

    for (const MenuEntry& e : MainMenuTable()) {
        if (e.IsSeparator() || e.IsPopup())
            continue;
        QAction* action = Command(frame, e.id);
        ASSERT_NE(action, nullptr) << e.id;
        EXPECT_EQ(action->data().toInt(), e.id);
        EXPECT_EQ(action->statusTip().toStdString(), LoadString(e.id));
    }
    struct Shortcut {
        CommandId id;
        QKeySequence keys;
    };
    const Shortcut shortcuts[] = {
        {CommandId::kNewTransaction, QKeySequence(Qt::CTRL | Qt::Key_N)},
        {CommandId::kDeleteTransaction, QKeySequence(Qt::Key_Delete)},
        {CommandId::kSelectAll, QKeySequence(Qt::CTRL | Qt::Key_A)},
        {CommandId::kFilePrint, QKeySequence(Qt::CTRL | Qt::Key_P)},
        {CommandId::kEditTransaction, QKeySequence()},
    };
    for (const Shortcut& s : shortcuts) {
        QAction* action = Command(frame, ToInt(s.id));
        ASSERT_NE(action, nullptr);
        EXPECT_EQ(action->shortcut(), s.keys) << ToInt(s.id);
        EXPECT_EQ(action->shortcutContext(), Qt::WindowShortcut);
        EXPECT_FALSE(action->text().contains(QLatin1Char('\t')));
    }
    // The web pages are on no menu but have their actions.
    for (const CommandId id :
         {CommandId::kHelpQuestions, CommandId::kHelpSupport, CommandId::kHelpDownload}) {
        EXPECT_NE(Command(frame, ToInt(id)), nullptr);
    }
}

TEST_F(MainFrameTest, MenusShowTheStatesAndGiveTheShortcutsBackWhenTheyClose) {
    CMainFrame frame;
    AppCommands app(frame);
    frame.SetAppCommands(&app);
    // Only what exists already is enabled; every later command is on the
    // menu, disabled.
    std::set<int> enabled;
    for (QMenu* menu : Menus(frame)) {
        emit menu->aboutToShow();
        for (QAction* action : menu->actions()) {
            if (CommandOf(*action) != 0 && action->isEnabled())
                enabled.insert(CommandOf(*action));
        }
    }
    EXPECT_EQ(enabled,
              (std::set<int>{ToInt(CommandId::kHelpUserGuide), ToInt(CommandId::kAppExit)}));
    for (QMenu* menu : Menus(frame))
        emit menu->aboutToHide();
    for (const MenuEntry& e : MainMenuTable()) {
        if (!e.IsSeparator() && !e.IsPopup()) {
            EXPECT_TRUE(Command(frame, e.id)->isEnabled()) << e.id;
        }
    }

    // A view's check mark shows when its menu opens.
    auto* view = new FakeView;
    view->handled[ToInt(CommandId::kShowColumns)] = {true, true};
    frame.SetView(view, view);
    QMenu* viewMenu = frame.findChild<QMenu*>(QStringLiteral("menu_3204"));
    ASSERT_NE(viewMenu, nullptr);
    emit viewMenu->aboutToShow();
    QAction* columns = Command(frame, ToInt(CommandId::kShowColumns));
    EXPECT_TRUE(columns->isEnabled());
    EXPECT_TRUE(columns->isChecked());
    frame.SetAppCommands(nullptr);
}

TEST_F(MainFrameTest, AShortcutRunsItsCommandOnlyWhileTheCommandIsEnabled) {
    CMainFrame frame;
    auto* view = new FakeView;
    const int newTransaction = ToInt(CommandId::kNewTransaction);
    view->handled[newTransaction] = {true, false};
    frame.SetView(view, view);
    ShowActive(frame);
    if (::testing::Test::HasFatalFailure())
        return;

    QTest::keyClick(&frame, Qt::Key_N, Qt::ControlModifier);
    EXPECT_EQ(view->ran, std::vector<int>{newTransaction});

    // Disabled after the menu last opened: the key does nothing.
    view->handled[newTransaction] = {false, false};
    QTest::keyClick(&frame, Qt::Key_N, Qt::ControlModifier);
    Command(frame, newTransaction)->trigger();
    EXPECT_EQ(view->ran, std::vector<int>{newTransaction});

    view->handled[newTransaction] = {true, false};
    Command(frame, newTransaction)->trigger();
    EXPECT_EQ(view->ran, (std::vector<int>{newTransaction, newTransaction}));
}

TEST_F(MainFrameTest, TheViewComesBeforeTheFrameAndTheFrameBeforeTheApplication) {
    CMainFrame frame;
    AppCommands app(frame);
    frame.SetAppCommands(&app);
    auto* view = new FakeView;
    frame.SetView(view, view);
    const int guide = ToInt(CommandId::kHelpUserGuide);

    view->handled[guide] = {true, false};
    Command(frame, guide)->trigger();
    EXPECT_EQ(view->ran, std::vector<int>{guide});
    EXPECT_TRUE(services_.urls.empty());

    // Claimed but disabled by the view: nobody after it runs it.
    view->handled[guide] = {false, false};
    Command(frame, guide)->trigger();
    EXPECT_TRUE(services_.urls.empty());

    view->handled.clear();
    Command(frame, guide)->trigger();
    EXPECT_EQ(services_.urls.size(), 1u);
    frame.SetAppCommands(nullptr);
}

TEST_F(MainFrameTest, HelpOpensTheGuideBesideTheProgramAndTheWebPages) {
    CMainFrame frame;
    struct Case {
        CommandId id;
        QUrl url;
    };
    const Case cases[] = {
        {CommandId::kHelpUserGuide,
         QUrl::fromLocalFile(QCoreApplication::applicationDirPath() +
                             QStringLiteral("/Tallowmere User Guide.pdf"))},
        {CommandId::kHelpQuestions, QUrl(QString::fromStdString(LoadString(601)))},
        {CommandId::kHelpSupport, QUrl(QString::fromStdString(LoadString(602)))},
        {CommandId::kHelpDownload, QUrl(QString::fromStdString(LoadString(603)))},
    };
    for (const Case& c : cases) {
        services_.urls.clear();
        Command(frame, ToInt(c.id))->trigger();
        ASSERT_EQ(services_.urls.size(), 1u) << ToInt(c.id);
        EXPECT_EQ(services_.urls[0], c.url);
        EXPECT_TRUE(c.url.isValid());
    }
    EXPECT_TRUE(cases[1].url.scheme() == QStringLiteral("https"));
}

TEST_F(MainFrameTest, AboutWaitsForItsBoxAndExitClosesTheWindow) {
    CMainFrame frame;
    AppCommands app(frame);
    frame.SetAppCommands(&app);
    QAction* about = Command(frame, ToInt(CommandId::kAppAbout));
    about->trigger();
    QWidget* aboutParent = nullptr;
    int abouts = 0;
    app.SetAboutHook([&](QWidget* parent) {
        aboutParent = parent;
        ++abouts;
    });
    about->trigger();
    EXPECT_EQ(abouts, 1);
    EXPECT_EQ(aboutParent, &frame);

    frame.ShowPlaced("0020 0010 0770 0590");
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&frame));
    Command(frame, ToInt(CommandId::kAppExit))->trigger();
    EXPECT_FALSE(frame.isVisible());
    EXPECT_EQ(GetPrefWinPos(), "0020 0010 0770 0590");
    frame.SetAppCommands(nullptr);
}

TEST_F(MainFrameTest, WinPosPlacesTheWindowOnTheScreenAndIsWrittenBackOnClose) {
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    // The offscreen platform has one screen of 800 x 800.
    ASSERT_EQ(screen, QRect(0, 0, 800, 800));
    struct Case {
        const char* stored;
        QSize size;  // empty when maximised
        QPoint at;   // (-1, -1) when the platform may nudge it at the edge
    };
    const QPoint edge(-1, -1);
    const Case cases[] = {
        {"0020 0010 0770 0590", {750, 580}, {20, 10}},
        {"  20 10\t770 590 ", {750, 580}, {20, 10}},
        {"Maximized", {}, edge},
        // Off the screen or larger than it: pulled in and cut.
        {"-1920 0000 -0100 0700", {800, 700}, edge},
        {"10000 0050 10760 0350", {760, 300}, edge},
        {"0050 0050 5000 5000", {800, 800}, edge},
        // Unreadable: 1120 x 720 centred, cut to this narrow screen.
        {"", {800, 720}, edge},
        {"12", {800, 720}, edge},
        {"garbage", {800, 720}, edge},
        {"0900 0050 0100 0700", {800, 720}, edge},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.stored);
        SetPrefWinPos(c.stored);
        CMainFrame frame;
        frame.ShowWithStoredPlacement();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&frame));
        EXPECT_EQ(frame.isMaximized(), c.size.isEmpty());
        if (!c.size.isEmpty()) {
            EXPECT_EQ(frame.size(), c.size);
        }
        if (c.at != edge) {
            EXPECT_EQ(frame.geometry().topLeft(), c.at);
        }
        // On the screen, give or take the border the platform puts around it.
        const QRect outer = frame.frameGeometry();
        const QRect inner = frame.geometry();
        const QMargins border(inner.left() - outer.left(), inner.top() - outer.top(),
                              outer.right() - inner.right(), outer.bottom() - inner.bottom());
        EXPECT_TRUE(screen.marginsAdded(border).contains(inner)) << inner.x() << "," << inner.y();
        const QRect placed = frame.geometry();
        frame.close();
        const QString written = QString::fromStdString(GetPrefWinPos());
        if (c.size.isEmpty()) {
            EXPECT_EQ(written, QStringLiteral("Maximized"));
        } else {
            // The rectangle as shown, right and bottom exclusive.
            EXPECT_EQ(written,
                      QString::asprintf("%04d %04d %04d %04d", placed.x(), placed.y(),
                                        placed.x() + placed.width(), placed.y() + placed.height()));
        }
    }
}

TEST_F(MainFrameTest, AFrameNeverShownKeepsTheStoredPlace) {
    SetPrefWinPos("0100 0050 0900 0700");
    {
        CMainFrame frame;
        frame.close();
    }
    EXPECT_EQ(GetPrefWinPos(), "0100 0050 0900 0700");

    // Shown once, then closed and destroyed: written once.
    {
        CMainFrame frame;
        frame.ShowPlaced("0020 0010 0770 0590");
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&frame));
        frame.close();
        SetPrefWinPos("0100 0050 0900 0700");
    }
    EXPECT_EQ(GetPrefWinPos(), "0100 0050 0900 0700");
}

TEST_F(MainFrameTest, CarriesTheProgramIconInItsSizes) {
    CMainFrame frame;
    const QList<QSize> sizes = frame.windowIcon().availableSizes();
    for (const QSize size : {QSize(16, 16), QSize(32, 32), QSize(48, 48)})
        EXPECT_TRUE(sizes.contains(size)) << size.width();
}

TEST_F(MainFrameTest, CannotBeMadeSmallerThan750By300) {
    CMainFrame frame;
    EXPECT_EQ(frame.minimumSize(), QSize(750, 300));
    frame.ShowPlaced("0000 0000 0200 0100");
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&frame));
    EXPECT_EQ(frame.size(), QSize(750, 300));
}

TEST_F(MainFrameTest, DatabaseNotifyReachesTheViewsReloadRequest) {
    CMainFrame frame;
    EXPECT_EQ(frame.OnDatabaseNotify(1, 0), 0);  // the empty view takes it
    auto* view = new FakeView;
    frame.SetView(view, view);
    EXPECT_EQ(frame.OnDatabaseNotify(1, 77), 0);
    EXPECT_EQ(frame.OnDatabaseNotify(2, 0), 0);
    EXPECT_EQ(view->reloads,
              (std::vector<std::pair<std::uint32_t, std::uint32_t>>{{1, 77}, {2, 0}}));
}

TEST_F(MainFrameTest, StatusBarSaysReadyShowsPromptsAndGreyLockPanes) {
    CMainFrame frame;
    ShowActive(frame);
    if (::testing::Test::HasFatalFailure())
        return;
    QStatusBar* bar = frame.findChild<QStatusBar*>(QStringLiteral("id_59393"));
    ASSERT_NE(bar, nullptr);
    auto* ready = bar->findChild<QLabel*>(QStringLiteral("messagePane"));
    ASSERT_NE(ready, nullptr);
    EXPECT_EQ(ready->text(), QStringLiteral("Ready"));
    EXPECT_TRUE(ready->isVisible());
    const std::pair<int, const char*> panes[] = {{59137, "CAP"}, {59138, "NUM"}, {59139, "SCRL"}};
    for (const auto& [id, text] : panes) {
        auto* pane = bar->findChild<QLabel*>(QStringLiteral("id_%1").arg(id));
        ASSERT_NE(pane, nullptr) << id;
        EXPECT_EQ(pane->text(), QString::fromLatin1(text));
        EXPECT_FALSE(pane->isEnabled());
        EXPECT_TRUE(pane->isVisible());
    }

    // Hovering a menu item shows its prompt over "Ready".
    QAction* guide = Command(frame, ToInt(CommandId::kHelpUserGuide));
    guide->showStatusText(&frame);
    EXPECT_EQ(bar->currentMessage().toStdString(), LoadString(32776));
    EXPECT_FALSE(ready->isVisible());
    bar->clearMessage();
    EXPECT_TRUE(ready->isVisible());
}

TEST_F(MainFrameTest, ASecondStartBringsTheWindowBack) {
    CMainFrame frame;
    ShowActive(frame);
    if (::testing::Test::HasFatalFailure())
        return;
    frame.showMinimized();
    ASSERT_TRUE(frame.isMinimized());
    frame.activateFromOtherInstance();
    EXPECT_FALSE(frame.isMinimized());
    EXPECT_TRUE(frame.isVisible());
    EXPECT_TRUE(QTest::qWaitForWindowActive(&frame));

    // A maximised window comes back maximised.
    frame.showMaximized();
    frame.showMinimized();
    frame.activateFromOtherInstance();
    EXPECT_FALSE(frame.isMinimized());
    EXPECT_TRUE(frame.isMaximized());
}

TEST_F(MainFrameTest, WritesItsPictureOnceWhenAskedTo) {
    const QString folder = QString::fromStdString(test::MakeTempDir("grab"));
    const QString png = QDir(folder).filePath(QStringLiteral("frame.png"));
    qputenv("TALLOWMERE_TEST_GRAB", folder.toLocal8Bit());
    {
        CMainFrame frame;
        frame.ShowPlaced("0020 0010 0770 0590");
        ASSERT_TRUE(QTest::qWaitFor([&] { return QFile::exists(png); }));
        const QImage image(png);
        EXPECT_EQ(image.size(), frame.size() * frame.devicePixelRatio());
        // Once: hidden and shown again, it writes no second picture.
        QFile::remove(png);
        frame.hide();
        frame.show();
        QTest::qWait(50);
        EXPECT_FALSE(QFile::exists(png));
    }
    qunsetenv("TALLOWMERE_TEST_GRAB");
}

}  // namespace
}  // namespace tallowmere::ui

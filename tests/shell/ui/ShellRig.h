#pragma once

#include "FakeClock.h"
#include "FakeDialupService.h"
#include "FakeFileStore.h"
#include "FakeMeteredLinkSource.h"
#include "FakeRowSource.h"
#include "GermanLocale.h"
#include "datafile/UsageData.h"
#include "shell/ui/TavlorApp.h"
#include "shell/ui/TrayController.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QTimer>
#include <QtTest>
#include <functional>
#include <memory>
#include <vector>

namespace tavlor::test {

// Counts loads and saves instead of writing a file; a test may preset what "the file" holds.
class CountingStore final : public UsageStore
{
public:
    std::function<void(UsageState&)> onLoad;
    bool failSave = false;
    int saves = 0;
    std::vector<QPoint> savedPositions;
    std::vector<std::pair<int, int>> savedMethods;
    std::vector<UsageState> savedStates;

    void load(UsageState& state) override
    {
        if (onLoad) {
            onLoad(state);
        }
    }
    void save(const UsageState& state, int x, int y) override
    {
        if (failSave) {
            throw SaveError("nach /nowhere/data/data.ini kann nicht geschrieben werden");
        }
        ++saves;
        savedPositions.emplace_back(x, y);
        savedMethods.emplace_back(state.downloadMethod, state.uploadMethod);
        savedStates.push_back(state);
    }
};

class FakeHosts final : public HostAddressSource
{
public:
    std::vector<std::string> addresses{"192.168.1.20"};
    std::vector<std::string> ipv4Addresses() override { return addresses; }
};

class FakeTimes final : public SystemTimesSource
{
public:
    std::optional<CpuTimes> cpuTimes() override { return std::nullopt; }
    std::uint64_t millisecondsSinceBoot() override { return 90061000; }
};

class NoShellFolders final : public ShellFolders
{
public:
    std::string folderPath(int) override { return {}; }
    bool directoryExists(const std::string&) override { return false; }
    bool createDirectory(const std::string&) override { return false; }
    std::string programFile() override { return "/opt/tavlor/tavlor"; }
    std::string programFolder() override { return "/opt/tavlor/"; }
    std::string shortcutExtension() override { return ".desktop"; }
    bool writeShortcut(const ShortcutDefinition&) override { return false; }
};

// The whole program on fakes: no file, no network, no connection service, no tray unless asked.
struct ShellRig
{
    FakeDialupService* dialup = nullptr;
    FakeMeteredLinkSource* metered = nullptr;
    FakeClock* clock = nullptr;
    CountingStore* store = nullptr;
    FakeFileStore* files = nullptr; // beside the data file: the history and [Volumenwarner]
    FakeRowSource* rows = nullptr;
    std::vector<int> exitCodes;
    std::vector<std::string> openedAddresses;
    bool trayAvailable = false;
    std::unique_ptr<TavlorApp> app;

    static constexpr const char* kDataFile = "/opt/tavlor/data/data.ini";

    explicit ShellRig(std::function<void(UsageState&)> onLoad = {}, bool withTray = false,
                      const std::string& dataFile = "[data]\r\n", std::string dataFileNotice = {})
        : trayAvailable(withTray)
    {
        AppServices services;
        auto fakeClock = std::make_unique<FakeClock>();
        clock = fakeClock.get();
        services.clock = std::move(fakeClock);
        services.locale = std::make_unique<GermanLocale>();
        auto fakeRows = std::make_unique<FakeRowSource>();
        fakeRows->rows = {MakeRow(1, 0), MakeRow(2, 6, 1000, 500), MakeRow(3, 6, 2000, 800)};
        rows = fakeRows.get();
        services.rows = std::move(fakeRows);
        services.hosts = std::make_unique<FakeHosts>();
        services.times = std::make_unique<FakeTimes>();
        services.shell = std::make_unique<NoShellFolders>();
        auto fakeDialup = std::make_unique<FakeDialupService>();
        dialup = fakeDialup.get();
        services.dialup = std::move(fakeDialup);
        auto fakeMetered = std::make_unique<FakeMeteredLinkSource>();
        metered = fakeMetered.get();
        services.metered = std::move(fakeMetered);
        auto countingStore = std::make_unique<CountingStore>();
        store = countingStore.get();
        store->onLoad = std::move(onLoad);
        services.store = std::move(countingStore);
        auto fakeFiles = std::make_unique<FakeFileStore>();
        files = fakeFiles.get();
        files->folders = {"/opt", "/opt/tavlor", "/opt/tavlor/data"};
        files->files[kDataFile] = dataFile;
        services.files = std::move(fakeFiles);
        services.dataFilePath = kDataFile;
        services.systemName = "Linux";
        services.dataFileNotice = std::move(dataFileNotice);
        services.trayAvailable = [this] { return trayAvailable; };
        services.exitProgram = [this](int code) { exitCodes.push_back(code); };
        services.openAddress = [this](const std::string& address) { openedAddresses.push_back(address); };
        app = std::make_unique<TavlorApp>(std::move(services));
    }

    TfrmTavlor& window() { return app->window(); }
    template <typename T> T* find(const char* name) { return window().findChild<T*>(QLatin1String(name)); }
    // Start-up as the program does it: the first activation sends it to the tray (when there is
    // one); then the user brings the window back.
    bool shownFromTray()
    {
        app->start();
        if (trayAvailable && !QTest::qWaitFor([this] { return !window().isVisible(); })) {
            return false;
        }
        app->tray().ShowFromTray();
        return window().isVisible();
    }
    void goOnline() { dialup->active.push_back({"/active/7", "Mobil", "Modem 1", "ppp0"}); }
    void goOffline() { dialup->active.clear(); }
};

// Answers the next modal message box with the button of the given text and records what it
// showed. Polls, because the box opens inside a handler that the test has just started.
class BoxAnswerer final : public QObject
{
public:
    QString text;
    QString caption;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QStringList buttons;
    int answered = 0;

    explicit BoxAnswerer(const QString& button) : m_button(button)
    {
        connect(&m_timer, &QTimer::timeout, this, &BoxAnswerer::poll);
        m_timer.start(5);
    }

private:
    void poll()
    {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (box == nullptr) {
            return;
        }
        text = box->text();
        caption = box->windowTitle();
        icon = box->icon();
        buttons.clear();
        QAbstractButton* chosen = nullptr;
        for (QAbstractButton* b : box->buttons()) {
            buttons << b->text();
            if (b->text() == m_button) {
                chosen = b;
            }
        }
        ++answered;
        m_timer.stop();
        if (chosen != nullptr) {
            chosen->click();
        } else {
            box->reject();
        }
    }

    QString m_button;
    QTimer m_timer;
};

} // namespace tavlor::test

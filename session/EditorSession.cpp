#include "session/EditorSession.h"

#include <chrono>
#include <exception>
#include <filesystem>

#include "device/Features.h"
#include "gui/VantrelBase.h"
#include "history/HistoryStore.h"
#include "session/Connection.h"
#include "usb/UsbVantrel.h"

namespace {

// The simulated unit is one of generation 108.
constexpr uint16_t kSimulatedVersion = 108;

}  // namespace

EditorSource UnitSource(const VantrelBase& connection)
{
    return {SourceKind::Unit, connection.GetSerialNumber()};
}

EditorSource DefaultsSource(VantrelBase& connection)
{
    const uint16_t version =
        connection.GetFeature(FEATURE_SIMULATED) > 0 ? kSimulatedVersion : connection.GetVersion();
    return {SourceKind::Defaults, FormatVersionText(version, DEVICE_MODE_APPLICATION)};
}

EditorSource FileSource(const std::string& path)
{
    return {SourceKind::File, std::filesystem::path(path).filename().string()};
}

EditorSession::EditorSession(Connection& connection) : connection(connection)
{
    UseHistoryRoot(DefaultHistoryRoot());
}

EditorSession::~EditorSession() = default;

std::optional<DeviceConfiguration> EditorSession::Record()
{
    if (viewSync)
        viewSync();
    try {
        return model.Collect();
    } catch (const std::exception&) {
        return std::nullopt;
    }
}

void EditorSession::Start(const EditorSource& source)
{
    started = true;
    origin = {source, Record().value_or(DeviceConfiguration{})};
}

void EditorSession::SetSource(const EditorSource& source)
{
    origin = {source, Record().value_or(DeviceConfiguration{})};
}

bool EditorSession::Edited()
{
    if (!started)
        return false;  // the first content is still being put in
    // A record the editors cannot make counts as edited.
    return IsEdited(origin, Record().value_or(DeviceConfiguration{}));
}

void EditorSession::Replace(const DeviceConfiguration& record)
{
    KeepEditedBeforeReplace();
    if (viewSync)
        viewSync();
    model.Show(record);
}

void EditorSession::UseHistoryRoot(const std::filesystem::path& root)
{
    store.reset();
    store = std::make_unique<HistoryStore>(root);
    store->SetFailureHandler([this](const std::string& line) {
        if (failureHandler)
            failureHandler(line);
    });
}

void EditorSession::OnHistoryFailure(std::function<void(const std::string& line)> handler)
{
    failureHandler = std::move(handler);
}

std::string EditorSession::UnitSerial() const
{
    VantrelBase* device = connection.Get();
    if (!device || !device->IsOpen() || device->GetFeature(FEATURE_SIMULATED) != 0)
        return {};
    return device->GetSerialNumber();
}

void EditorSession::Keep(const DeviceConfiguration& record, const std::string& event,
                         const std::string& source)
{
    if (!keeping)
        return;
    HistoryRecord entry;
    entry.config = record;
    entry.unit = UnitSerial();
    entry.event = event;
    entry.source = source;
    entry.time = std::chrono::system_clock::now();
    store->Keep(entry);
}

void EditorSession::KeptFromUnit(const DeviceConfiguration& record, const char* event)
{
    Keep(record, event, "Unit " + UnitSerial());
}

void EditorSession::KeptToUnit(const DeviceConfiguration& record)
{
    Keep(record, "write", "Unit " + UnitSerial());
}

void EditorSession::KeptFromFile(const DeviceConfiguration& record, const std::string& path)
{
    Keep(record, "open", std::filesystem::path(path).filename().string());
}

void EditorSession::KeptToFile(const DeviceConfiguration& record, const std::string& path)
{
    Keep(record, "save", std::filesystem::path(path).filename().string());
}

void EditorSession::KeepEdited(const char* event)
{
    if (!Edited())
        return;
    if (const std::optional<DeviceConfiguration> record = Record())
        Keep(*record, event, "Edited " + SourceText(origin.source));
}

void EditorSession::KeepEditedBeforeReplace()
{
    KeepEdited("unsaved");
}

void EditorSession::KeepEditedAtQuit()
{
    KeepEdited("quit");
    store->Flush();
}

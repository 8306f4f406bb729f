// The configuration being edited, with or without a window: the editor model,
// where its content came from or went to and whether it is edited since, and
// the automatic history of what it held (when an entry is kept). A window
// holds its own controls; before the session looks at the content it brings
// what they hold into the model (SetViewSync).
#pragma once

#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "config/DeviceConfiguration.h"
#include "editor/EditorModel.h"
#include "editor/EditorOrigin.h"

class Connection;
class HistoryStore;
class VantrelBase;

// The sources a connection and a file give: the unit by its serial number,
// the defaults by the generation's version ("1.08"), a file by its name.
EditorSource UnitSource(const VantrelBase& connection);
EditorSource DefaultsSource(VantrelBase& connection);
EditorSource FileSource(const std::string& path);

class EditorSession {
public:
    // The history is kept below DefaultHistoryRoot() until UseHistoryRoot.
    explicit EditorSession(Connection& connection);
    ~EditorSession();
    EditorSession(const EditorSession&) = delete;
    EditorSession& operator=(const EditorSession&) = delete;

    EditorModel& Model() { return model; }
    // Runs before the session reads the model: a window's controls into it.
    void SetViewSync(std::function<void()> sync) { viewSync = std::move(sync); }

    // The content now comes from `source`, as the model holds it.
    void Start(const EditorSource& source);
    // The content went to (or came from) `source` unchanged: Write, Save as.
    void SetSource(const EditorSource& source);
    const EditorOrigin& Origin() const { return origin; }
    void SetOrigin(const EditorOrigin& newOrigin) { origin = newOrigin; }
    // The model holds another record than its origin's; false before Start.
    bool Edited();
    // The record the model holds; nothing when the pulses choice holds none.
    std::optional<DeviceConfiguration> Record();

    // Replaces the content by `record` as the editors take it, keeping the
    // edited content in the history first. Throws (pulses) before anything
    // changes; the origin stays: the caller names the new one.
    void Replace(const DeviceConfiguration& record);

    // History entries, after the commands succeeded, with their records.
    void KeptFromUnit(const DeviceConfiguration& record, const char* event);  // "read", "connect"
    void KeptToUnit(const DeviceConfiguration& record);
    void KeptFromFile(const DeviceConfiguration& record, const std::string& path);
    void KeptToFile(const DeviceConfiguration& record, const std::string& path);
    // Edits about to be lost, and the edits at quit: kept only when edited.
    void KeepEditedBeforeReplace();
    void KeepEditedAtQuit();

    HistoryStore& History() { return *store; }
    void UseHistoryRoot(const std::filesystem::path& root);
    // Reports a failure of keeping (empty: keeping works again).
    void OnHistoryFailure(std::function<void(const std::string& line)> handler);
    // Off: nothing is kept.
    void SetHistoryKept(bool on) { keeping = on; }
    // The connected unit's serial number; empty without one or for the
    // simulated unit.
    std::string UnitSerial() const;

private:
    void Keep(const DeviceConfiguration& record, const std::string& event, const std::string& source);
    void KeepEdited(const char* event);

    Connection& connection;
    EditorModel model;
    EditorOrigin origin;
    bool started = false;
    std::function<void()> viewSync;
    std::unique_ptr<HistoryStore> store;
    std::function<void(const std::string&)> failureHandler;
    bool keeping = true;
};

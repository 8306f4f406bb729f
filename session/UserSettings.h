// The user's own settings of the program: where the main window was, its two
// options, its language, whether the FFT page is shown, and the firmware offers a user
// declined. Each has its key and its default here. They live in the toolkit's
// per-user store of vendor "NorvaneLabs" and application "Vantrel"; a
// UserSettings opens the store for one reading or writing and closes it when
// it goes, nothing is cached. Display-free (wx base only).
#pragma once

#include <memory>
#include <optional>
#include <string>

class wxConfigBase;

// Position and size of the main window in screen pixels.
struct WindowPlacement {
    long left = 0;
    long top = 0;
    long width = 0;
    long height = 0;
};

// An on/off setting: its key and its value when the key is absent.
struct UserFlag {
    const char* key;
    bool byDefault;
};

// The main window was maximised.
inline constexpr UserFlag kMaximizedFlag{"Maximized", false};
// Large (32x32) toolbar icons; the tablet-mode menu item.
inline constexpr UserFlag kTabletModeFlag{"TabletMode", true};
// Ask before writing to the unit; the confirm-writing menu item.
inline constexpr UserFlag kConfirmWritingFlag{"ConfirmWriting", true};
// The maps shown as curves beside their grids.
inline constexpr UserFlag kShifterCurvesFlag{"ShifterCurves", false};
inline constexpr UserFlag kBlipperCurvesFlag{"BlipperCurves", false};
// Show the FFT page. Set by hand only: the program never writes it.
inline constexpr UserFlag kShowFftFlag{"FFT", false};

class UserSettings {
public:
    // The user's store. Writes go to the user's own file and persist once
    // flushed (at the latest when this object goes).
    UserSettings();
    // Another store, not owned (a settings file in the tests).
    explicit UserSettings(wxConfigBase& store);
    UserSettings(const UserSettings&) = delete;
    UserSettings& operator=(const UserSettings&) = delete;
    ~UserSettings();

    // "Left", "Top", "Width", "Height", read in this order; reading stops at
    // the first missing key, and only all four make a placement.
    std::optional<WindowPlacement> ReadPlacement() const;
    void WritePlacement(const WindowPlacement& placement);

    bool Read(const UserFlag& flag) const;
    void Write(const UserFlag& flag, bool value);

    // The code of the language chosen in Options > Language, under "Language"
    // ("de", ...; see session/ProgramLanguage.h); "" (the system's) when absent.
    std::string ReadLanguage() const;
    void WriteLanguage(const std::string& code);

    // The firmware version the user declined for the unit with this serial
    // number, under the serial number followed by "RefusedFirmwareVersion";
    // none when no offer was declined.
    std::optional<long> ReadRefusedFirmwareVersion(const std::string& serial) const;
    void WriteRefusedFirmwareVersion(const std::string& serial, long version);
    void ForgetRefusedFirmwareVersion(const std::string& serial);

    // The step of the map tools' Increase and Decrease under "MapToolStep":
    // 1, 2, 5 or 10 ms; anything else reads as 1.
    int ReadMapToolStep() const;
    void WriteMapToolStep(int step);

    // Whether a key (a flag's, "Left", ...) is stored; forgetting one, or all
    // (the store of a first start).
    bool Has(const char* key) const;
    void Forget(const char* key);
    void Clear();

    void Flush();

private:
    std::unique_ptr<wxConfigBase> owned;
    wxConfigBase& store;
};

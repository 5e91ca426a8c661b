#pragma once

// The "Com port" frame: "Auto scan  com port" (Check1(0)) and "Select  port" (Check1(1)) are
// never both checked and never both clear; the sixteen "Com n" buttons are usable only while
// "Select  port" is checked.
struct PortPair {
    bool autoScan = true;
    bool selePort = false;

    bool portButtonsEnabled() const { return selePort; }

    // The stored flags at load: a checked auto scan wins; two clear flags (not written by the
    // program) fall back to auto scan.
    static PortPair fromStored(bool autoScan, bool selePort);
    // After a click, with the state the clicked box now has.
    static PortPair afterAutoScanClick(bool autoScanNowChecked);
    static PortPair afterSelectPortClick(bool selePortNowChecked);

    bool operator==(const PortPair &other) const
    {
        return autoScan == other.autoScan && selePort == other.selePort;
    }
};

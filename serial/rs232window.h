#pragma once

#include <QDialog>
#include <QStringList>

#include "prefs/settingsfile.h"
#include "serial/gpsdprobe.h"
#include "serial/portdriver.h"

class QComboBox;
class QPushButton;
class SettingsStore;

// The serial ports the system reports beyond the ten "COMn" entries, which
// already name /dev/ttyS0 to /dev/ttyS9: USB receivers appear here.
QStringList systemPortEntries();

// The RS-232 settings: port, baud rate, data bits, parity and stop bits.
// Each selector is a setting: picking or typing is in force at once, and a
// value loaded from the settings file shows in its selector. The port opens
// with what the selectors show at that moment.
class Rs232Window : public QDialog
{
    Q_OBJECT

public:
    explicit Rs232Window(SettingsStore &settings, QWidget *parent = nullptr);

    PortSelection selection() const;
    QComboBox *selector(navorel::SettingKey key) const;
    QPushButton *closeButton() const { return m_closeRs232win; }

    // Offers the ports the system reports now after the ten fixed entries,
    // and a gpsd when one answered at the last look.
    void refreshSystemPorts(const QStringList &devices);

    // Looks for a gpsd each time the window is shown; its entry comes or
    // goes when gpsd has answered or not.
    GpsdProbe &gpsdProbe() { return m_gpsd; }

    void CloseRS232winClick();

protected:
    void showEvent(QShowEvent *event) override;

private:
    void selectorPicked(navorel::SettingKey key, int index);
    void selectorTyped(navorel::SettingKey key, const QString &text);
    void showValue(navorel::SettingKey key, int value);
    // A port name that is no "COMn" entry (typed, reported by the system,
    // a network source) is kept between runs as a setting of navorel.conf;
    // the settings file has no place for it.
    void showKeptPortName(const std::string &name);
    void keepPortName();
    int storedIndex(navorel::SettingKey key, int index) const;
    void showLineSettingsInUse();
    void showPortName(const QString &text);
    void fitPortList();

    SettingsStore &m_settings;
    QComboBox *m_cobPort = nullptr;
    QComboBox *m_cobBaud = nullptr;
    QComboBox *m_cobData = nullptr;
    QComboBox *m_cobParity = nullptr;
    QComboBox *m_cobStop = nullptr;
    QPushButton *m_closeRs232win = nullptr;
    GpsdProbe m_gpsd;
    QStringList m_systemPorts;
};

#pragma once
#include <QByteArray>
#include <QString>

// A pseudo-terminal pair in raw mode. The program side opens slavePath() like any serial
// device; the simulator writes to the master. Raw mode matters: a cooked line discipline
// would eat or act on control bytes (0x03, 0x12, ...) and echo.
// The slave stays open for the pair's lifetime so that the line settings survive while no
// serial port holds the device, and bytes written meanwhile are kept for the next reader.
class Pty
{
public:
    Pty();
    ~Pty();
    Pty(const Pty &) = delete;
    Pty &operator=(const Pty &) = delete;

    bool isValid() const { return m_master >= 0; }
    QString errorString() const { return m_error; }

    int masterFd() const { return m_master; }
    QString slavePath() const { return m_slavePath; }

    // Writes all of `bytes` to the master; false when the master is gone or nobody has
    // drained a full buffer for a second. The master itself is non-blocking.
    bool write(const QByteArray &bytes);
    // What the slave side has sent to the master, waiting up to `timeoutMs` for the first byte.
    QByteArray read(int timeoutMs = 0);

    // Closes the master: every reader of the slave sees the device go away.
    void closeMaster();

private:
    int m_master = -1;
    int m_slave = -1;
    QString m_slavePath;
    QString m_error;
};

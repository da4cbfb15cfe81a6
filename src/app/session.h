#pragma once
#include <QObject>

class Program;
class QEvent;

// Connects the desktop to the program: activation moving between our windows, and the end of
// the session or a TERM/INT/HUP signal ending the program through Form1's Form_QueryUnload.
// A session that only saves itself (a checkpoint) does not end it.
class SessionWatch : public QObject {
public:
    explicit SessionWatch(Program& program);
    ~SessionWatch() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    Program& p;
};

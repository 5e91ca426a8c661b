#pragma once
#include <QWidget>

// The power cost window's tile. It loads hidden, is shown and hidden by the Electric Power
// Cost Monitor command and shortens the table while shown; its figures are not part of this
// version.
class FmPower : public QWidget
{
    Q_OBJECT
public:
    explicit FmPower(QWidget *parent = nullptr);
};

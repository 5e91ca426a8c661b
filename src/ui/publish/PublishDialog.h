#pragma once
#include <QDialog>

#include "core/publish/MqttClient.h"
#include "core/publish/PublishOptions.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;

// "Publish readings": the broker address, password, topic prefix, discovery, quality of
// service and CA file. Test connects with them and says what happened; OK refuses what
// cannot be used, with the reason, and otherwise hands the options on.
class PublishDialog : public QDialog
{
    Q_OBJECT
public:
    explicit PublishDialog(const PublishOptions &options, QWidget *parent = nullptr);

    PublishOptions options() const;
    QLabel *resultLabel() const { return m_result; }

public Q_SLOTS:
    void accept() override;
    void test();

private:
    // "" when the fields can be used, else why not.
    QString check() const;

    QLineEdit *m_url;
    QLineEdit *m_password;
    QLineEdit *m_prefix;
    QCheckBox *m_discovery;
    QComboBox *m_qos;
    QLineEdit *m_caFile;
    QLabel *m_result;
    MqttClient m_probe;
};

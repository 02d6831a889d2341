#pragma once

#include <QDBusConnection>
#include <QDBusContext>
#include <QElapsedTimer>
#include <QObject>
#include <QSet>
#include <QVariantMap>
#include <memory>

class QDBusServiceWatcher;

namespace tavlor {

struct StatusSnapshot;

// The running program's figures on the session bus: read-only properties of the interface
// invalid.tavlor.Tavlor.Status at /invalid/tavlor/Tavlor under the name invalid.tavlor.Tavlor.
// PropertiesChanged goes out only while a client has subscribed (and is still connected), at
// most once a second and only with what changed: with nobody listening the bus stays quiet.
class StatusService final : public QObject, protected QDBusContext
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "invalid.tavlor.Tavlor.Status")
    Q_PROPERTY(bool Online READ online)
    Q_PROPERTY(QString Link READ link)
    Q_PROPERTY(QString Connection READ connection)
    Q_PROPERTY(double DownloadSpeed READ downloadSpeed)
    Q_PROPERTY(double UploadSpeed READ uploadSpeed)
    Q_PROPERTY(qulonglong SessionDown READ sessionDown)
    Q_PROPERTY(qulonglong SessionUp READ sessionUp)
    Q_PROPERTY(qulonglong SessionSeconds READ sessionSeconds)
    Q_PROPERTY(qulonglong TodaySeconds READ todaySeconds)
    Q_PROPERTY(qulonglong TotalDown READ totalDown)
    Q_PROPERTY(qulonglong TotalUp READ totalUp)
    Q_PROPERTY(qulonglong TotalSeconds READ totalSeconds)
    Q_PROPERTY(QString PeriodStart READ periodStart)
    Q_PROPERTY(QString PeriodEnd READ periodEnd)
    Q_PROPERTY(qulonglong PeriodDown READ periodDown)
    Q_PROPERTY(qulonglong PeriodUp READ periodUp)
    Q_PROPERTY(qulonglong PeriodSeconds READ periodSeconds)
    Q_PROPERTY(qulonglong LimitBytes READ limitBytes)
    Q_PROPERTY(qulonglong LimitSeconds READ limitSeconds)
    Q_PROPERTY(bool DownloadOnly READ downloadOnly)
    Q_PROPERTY(double Percent READ percent)
    Q_PROPERTY(uint WarnLevel READ warnLevel)

public:
    // Registers itself and asks for the bus name without waiting for the answer.
    StatusService(QDBusConnection bus, QObject* parent);
    ~StatusService() override;
    Q_DISABLE_COPY_MOVE(StatusService)

    void publish(const StatusSnapshot& status);
    int subscribers() const { return static_cast<int>(m_subscribers.size()); }

    bool online() const { return value("Online").toBool(); }
    QString link() const { return value("Link").toString(); }
    QString connection() const { return value("Connection").toString(); }
    double downloadSpeed() const { return value("DownloadSpeed").toDouble(); }
    double uploadSpeed() const { return value("UploadSpeed").toDouble(); }
    qulonglong sessionDown() const { return amount("SessionDown"); }
    qulonglong sessionUp() const { return amount("SessionUp"); }
    qulonglong sessionSeconds() const { return amount("SessionSeconds"); }
    qulonglong todaySeconds() const { return amount("TodaySeconds"); }
    qulonglong totalDown() const { return amount("TotalDown"); }
    qulonglong totalUp() const { return amount("TotalUp"); }
    qulonglong totalSeconds() const { return amount("TotalSeconds"); }
    QString periodStart() const { return value("PeriodStart").toString(); }
    QString periodEnd() const { return value("PeriodEnd").toString(); }
    qulonglong periodDown() const { return amount("PeriodDown"); }
    qulonglong periodUp() const { return amount("PeriodUp"); }
    qulonglong periodSeconds() const { return amount("PeriodSeconds"); }
    qulonglong limitBytes() const { return amount("LimitBytes"); }
    qulonglong limitSeconds() const { return amount("LimitSeconds"); }
    bool downloadOnly() const { return value("DownloadOnly").toBool(); }
    double percent() const { return value("Percent").toDouble(); }
    uint warnLevel() const { return value("WarnLevel").toUInt(); }

public Q_SLOTS:
    // From now until the caller leaves the bus (or unsubscribes), changes are signalled.
    Q_SCRIPTABLE void Subscribe();
    Q_SCRIPTABLE void Unsubscribe();

private:
    QVariant value(const char* name) const;
    qulonglong amount(const char* name) const { return value(name).toULongLong(); }
    void forget(const QString& client);
    void signalChanges();

    QDBusConnection m_bus;
    std::unique_ptr<StatusSnapshot> m_status; // not included: moc cannot read <compare>
    QVariantMap m_signalled;                  // what the subscribers know
    QSet<QString> m_subscribers;
    QDBusServiceWatcher* m_watcher = nullptr;
    QElapsedTimer m_sinceSignal;
};

} // namespace tavlor

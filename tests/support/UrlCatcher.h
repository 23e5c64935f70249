#pragma once

#include <QDesktopServices>
#include <QObject>
#include <QUrl>

// Takes the "https" links the program opens instead of a browser, for as long as it lives.
class UrlCatcher : public QObject {
    Q_OBJECT

public:
    UrlCatcher() { QDesktopServices::setUrlHandler("https", this, "Open"); }
    ~UrlCatcher() override { QDesktopServices::unsetUrlHandler("https"); }

    QList<QUrl> urls;

public slots:
    void Open(const QUrl& url) { urls << url; }
};

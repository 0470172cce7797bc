#pragma once
#include "ReportEngine.h"

#include <QString>
#include <memory>

// How notes name a slip: its serial number and its date as lists show it.
QString slipLabel(const QString& serialNumber, const QString& shownDate);
// The same for the stored serial number and date ("yyyy-MM-dd").
QString storedSlipLabel(const QVariant& serialNumber, const QVariant& storedDate);

// The pages the viewer shows, prints and exports: one slip each, drawn with a
// template. A page's data is read when the page is first needed, so a long
// set opens at once and costs only the pages looked at.
class PageSet {
public:
    struct Page {
        const ReportTemplate* layout = nullptr;
        // Null when the slip is no longer stored (another user deleted it):
        // such a page is left out of a print and named in a note.
        const SlipRecord* slip = nullptr;
    };

    virtual ~PageSet() = default;
    virtual int count() const = 0;
    // The page at index (0-based), read on first use and kept. Throws
    // ReportError naming the slip and its template, or DbError.
    virtual Page page(int index) = 0;
    // How a note names the page's slip.
    virtual QString slipName(int index) const = 0;
    // The template file of the page, for the status bar.
    virtual QString templatePath(int index) const = 0;
    // The name of a print job or an exported file, without extension.
    virtual QString documentName() const = 0;
};

// The pages of one prepared report: every slip its selection picked, all on
// its template. The report's data must have been read (Report::slips()).
class ReportPages : public PageSet {
public:
    explicit ReportPages(std::shared_ptr<Report> report);
    int count() const override;
    Page page(int index) override;
    QString slipName(int index) const override;
    QString templatePath(int index) const override;
    QString documentName() const override;

private:
    std::shared_ptr<Report> m_report;
    const std::vector<SlipRecord>* m_slips;
};

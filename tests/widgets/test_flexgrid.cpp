#include "FlexGrid.h"
#include "Input.h"

#include <QApplication>
#include <QHeaderView>
#include <QSignalSpy>
#include <QTest>
#include <stdexcept>

// A grid laid out as the account list lays out its grid.
class ShownGrid {
public:
    ShownGrid() {
        grid.setCols(5);
        grid.setColWidth(0, 200);
        grid.setColWidth(1, 500);
        grid.setColWidth(2, 2000);
        grid.setColWidth(3, 3000);
        grid.setColWidth(4, 4000);
        grid.setRowHeight(0, 400);
        grid.setTextMatrix(0, 1, "SN");
        grid.setTextMatrix(0, 2, "Account No");
        grid.resize(700, 300);
        grid.show();
    }
    FlexGrid grid;

    void fillRows(int count) {
        QVector<QStringList> rows;
        for (int i = 1; i <= count; ++i)
            rows.append({QString::number(i * 10), QString::number(i), QString("A%1").arg(i)});
        grid.fill(rows);
    }
    QPoint centreOf(int row) const { return grid.cellRect(row, 2).center(); }
};

class TestFlexGrid : public QObject {
    Q_OBJECT
private slots:
    void cellsAndHeader() {
        FlexGrid grid;
        QCOMPARE(grid.rows(), 1);
        grid.setCols(3);
        grid.setRows(3);
        QCOMPARE(grid.rows(), 3);
        QCOMPARE(grid.model()->rowCount(), 2); // the header row is no data row
        grid.setTextMatrix(0, 1, "Name");
        grid.setTextMatrix(2, 2, "it's \"quoted\"");
        QCOMPARE(grid.textMatrix(0, 1), QString("Name"));
        QCOMPARE(grid.model()->headerData(1, Qt::Horizontal).toString(), QString("Name"));
        QCOMPARE(grid.textMatrix(2, 2), QString("it's \"quoted\""));
        QCOMPARE(grid.model()->index(1, 2).data().toString(), QString("it's \"quoted\""));
        QCOMPARE(grid.textMatrix(1, 0), QString());

        // More columns keep every text in its place; fewer rows keep the rows left.
        grid.setCols(5);
        QCOMPARE(grid.textMatrix(2, 2), QString("it's \"quoted\""));
        QCOMPARE(grid.textMatrix(0, 1), QString("Name"));
        grid.setTextMatrix(1, 4, "last");
        grid.setRows(2);
        QCOMPARE(grid.textMatrix(1, 4), QString("last"));
        QVERIFY_THROWS_EXCEPTION(std::out_of_range, grid.textMatrix(2, 0));
        QVERIFY_THROWS_EXCEPTION(std::out_of_range, grid.setTextMatrix(0, 5, "x"));
        QVERIFY_THROWS_EXCEPTION(std::out_of_range, grid.textMatrix(-1, 0));
    }

    void fillReplacesDataRows() {
        FlexGrid grid;
        grid.setCols(3);
        grid.setTextMatrix(0, 2, "Header");
        grid.setRows(6);
        grid.fill({{"1", "a"}, {"2", "b", "c", "ignored"}});
        QCOMPARE(grid.rows(), 3);
        QCOMPARE(grid.textMatrix(0, 2), QString("Header"));
        QCOMPARE(grid.textMatrix(1, 2), QString()); // a short row leaves the rest empty
        QCOMPARE(grid.textMatrix(2, 2), QString("c"));
        grid.fill({});
        QCOMPARE(grid.rows(), 1);
        QCOMPARE(grid.rowSel(), 0);
    }

    // Rows filled through a function read their texts when asked, and behave as
    // stored texts once the grid is changed.
    void cellsReadWhenShown() {
        ShownGrid shown;
        FlexGrid& grid = shown.grid;
        int reads = 0;
        grid.fill(10000, [&reads](int row, int col) {
            ++reads;
            return QString("%1/%2").arg(row).arg(col);
        });
        QCOMPARE(grid.rows(), 10001);
        QCOMPARE(grid.rowSel(), 1);
        QApplication::processEvents();
        grid.repaint();
        QVERIFY2(reads < 5 * 100, qPrintable(QString::number(reads))); // the rows on screen only
        QCOMPARE(grid.textMatrix(0, 1), QString("SN"));
        QCOMPARE(grid.textMatrix(9999, 4), QString("9999/4"));
        QCOMPARE(grid.model()->index(41, 2).data().toString(), QString("42/2"));
        QVERIFY_THROWS_EXCEPTION(std::out_of_range, grid.textMatrix(10001, 0));

        // A changed cell keeps its neighbours; more rows are empty; fewer keep the rest.
        grid.setTextMatrix(3, 2, "changed");
        QCOMPARE(grid.textMatrix(3, 2), QString("changed"));
        QCOMPARE(grid.textMatrix(3, 1), QString("3/1"));
        QCOMPARE(grid.textMatrix(9999, 4), QString("9999/4"));

        grid.fill(3, [](int row, int col) { return QString("%1:%2").arg(row).arg(col); });
        grid.setRows(5);
        QCOMPARE(grid.textMatrix(3, 0), QString("3:0"));
        QCOMPARE(grid.textMatrix(4, 0), QString());
        grid.fill(3, [](int row, int col) { return QString("%1:%2").arg(row).arg(col); });
        grid.setCols(6);
        QCOMPARE(grid.textMatrix(2, 4), QString("2:4"));
        QCOMPARE(grid.textMatrix(2, 5), QString());
        grid.fill(3, [](int row, int col) { return QString("%1:%2").arg(row).arg(col); });
        grid.setRows(2);
        QCOMPARE(grid.textMatrix(1, 1), QString("1:1"));
        QVERIFY_THROWS_EXCEPTION(std::out_of_range, grid.textMatrix(2, 1));

        // Back to the header alone, and stored rows replace the function.
        grid.setRows(1);
        QCOMPARE(grid.rows(), 1);
        grid.setRows(2);
        QCOMPARE(grid.textMatrix(1, 1), QString());
        grid.fill(2, [](int, int) { return QString("x"); });
        grid.fill({{"a", "b"}});
        QCOMPARE(grid.rows(), 2);
        QCOMPARE(grid.textMatrix(1, 1), QString("b"));
        QCOMPARE(grid.textMatrix(1, 2), QString());
        grid.fill(0, [](int, int) { return QString("x"); });
        QCOMPARE(grid.rows(), 1);
        QCOMPARE(grid.rowSel(), 0);
    }

    void sizesInTwips() {
        ShownGrid shown;
        FlexGrid& grid = shown.grid;
        QCOMPARE(grid.columnWidth(0), 13);
        QCOMPARE(grid.columnWidth(1), 33);
        QCOMPARE(grid.columnWidth(4), 266);
        QVERIFY(grid.horizontalHeader()->height() >= 26);
        QVERIFY(grid.horizontalHeader()->height() >= grid.horizontalHeader()->sizeHint().height());
        grid.setColWidth(0, 1);
        QVERIFY(grid.columnWidth(0) <= 1);
        QVERIFY(!grid.isColumnHidden(0));

        shown.fillRows(3);
        grid.setMinRowHeight(600);
        QCOMPARE(grid.rowHeight(0), 40);
        grid.setRowHeight(2, 900);
        QCOMPARE(grid.rowHeight(1), 60);
        QCOMPARE(grid.palette().color(QPalette::Base), QColor(Qt::white));
    }

    void selectionFollowsClicksAndKeys() {
        ShownGrid shown;
        FlexGrid& grid = shown.grid;
        QCOMPARE(grid.rowSel(), 0); // only the header row
        shown.fillRows(4);
        QCOMPARE(grid.rowSel(), 1); // a filled grid starts on its first row
        QCOMPARE(grid.selectionModel()->selectedRows().size(), 1);
        QCOMPARE(grid.selectionModel()->selectedIndexes().size(), 5); // the whole row

        QTest::mouseClick(grid.viewport(), Qt::LeftButton, {}, shown.centreOf(3));
        QCOMPARE(grid.rowSel(), 3);
        QTest::keyClick(&grid, Qt::Key_Down);
        QCOMPARE(grid.rowSel(), 4);
        QTest::keyClick(&grid, Qt::Key_Down); // stays on the last row
        QCOMPARE(grid.rowSel(), 4);
        QTest::keyClick(&grid, Qt::Key_Home, Qt::ControlModifier);
        QCOMPARE(grid.rowSel(), 1);
        QTest::keyClick(&grid, Qt::Key_Up);
        QCOMPARE(grid.rowSel(), 1);
        QCOMPARE(grid.selectionModel()->selectedRows().size(), 1);

        // Refilling keeps a selection; emptying removes it.
        grid.setRowSel(4);
        shown.fillRows(2);
        QCOMPARE(grid.rowSel(), 1);
        grid.setRows(1);
        QCOMPARE(grid.rowSel(), 0);
        grid.setRows(3); // rows added to an empty grid start on the first one
        QCOMPARE(grid.rowSel(), 1);
        grid.setRowSel(0);
        QCOMPARE(grid.rowSel(), 0);
    }

    void doubleClickNamesTheRow() {
        ShownGrid shown;
        FlexGrid& grid = shown.grid;
        shown.fillRows(3);
        QSignalSpy spy(&grid, &FlexGrid::DblClick);
        doubleClick(grid.viewport(), shown.centreOf(2));
        QCOMPARE(spy.size(), 1);
        QCOMPARE(spy.at(0).at(0).toInt(), 2);
        QCOMPARE(grid.rowSel(), 2);

        // Below the last row and on the header there is no row to name.
        const QPoint below(shown.centreOf(3).x(), grid.cellRect(3, 2).bottom() + 30);
        doubleClick(grid.viewport(), below);
        doubleClick(grid.horizontalHeader()->viewport(), QPoint(100, 5));
        QCOMPARE(spy.size(), 1);
    }

    void tenThousandRows() {
        ShownGrid shown;
        FlexGrid& grid = shown.grid;
        shown.fillRows(10000);
        QCOMPARE(grid.rows(), 10001);
        QCOMPARE(grid.textMatrix(10000, 2), QString("A10000"));
        QTest::keyClick(&grid, Qt::Key_End, Qt::ControlModifier);
        QCOMPARE(grid.rowSel(), 10000);

        // Cell by cell works too, the way the windows fill a grid row by row.
        grid.setRows(1);
        grid.setRows(10001);
        for (int row = 1; row <= 10000; ++row) {
            for (int col = 0; col < 5; ++col)
                grid.setTextMatrix(row, col, QString::number(row * 10 + col));
        }
        QCOMPARE(grid.textMatrix(9999, 3), QString("99993"));
        QCOMPARE(grid.model()->index(9998, 3).data().toString(), QString("99993"));
    }
};

QTEST_MAIN(TestFlexGrid)
#include "test_flexgrid.moc"

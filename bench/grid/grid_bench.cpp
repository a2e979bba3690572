// Times the result list's work: one paint of the list for a result of N rows, and one move of the
// current row (its notifications, scrolling and scroll bar) with and without the repaint. The rows come
// from a function, so that the figures are the list's own and not the engine's; the dataset counts the
// values the list reads. A paint is timed twice: onto a device that draws nothing (the list's own work:
// layout, rows read, text shaped, drawing commands issued) and rasterised into an image (pixels added).
//
//   bench-grid [--rows N]... [--iterations K]      (default: --rows 20 --rows 1000000, K = 2000)
#include <QApplication>
#include <QImage>
#include <QPaintDevice>
#include <QPaintEngine>
#include <QWidget>
#include <chrono>
#include <cstdint>
#include <ctime>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "vcl/data/data_source.h"
#include "vcl/data/dataset.h"
#include "vcl/widgets/db_grid.h"
#include "vcl/widgets/font_substitutes.h"

namespace {

// The thread's own processor time: on a machine shared with other work, wall-clock figures mostly
// measure the waiting.
struct ThreadClock {
    using duration = std::chrono::nanoseconds;
    using time_point = std::chrono::time_point<ThreadClock, duration>;
    static time_point now()
    {
        timespec t{};
        clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
        return time_point(duration(std::int64_t(t.tv_sec) * 1000000000 + t.tv_nsec));
    }
};
using Clock = ThreadClock;

// N generated questions, none stored.
class GeneratedQuestions : public vcl::TDataSet {
public:
    explicit GeneratedQuestions(int rows) : rows_(rows) {}
    ~GeneratedQuestions() override { Close(); }
    mutable long long reads = 0;

protected:
    void InternalOpen() override { addField("题目", vcl::TFieldType::ftMemo, 0); }
    void InternalClose() override { clearFields(); }
    int InternalRecordCount() const override { return rows_; }
    std::optional<std::string> InternalValue(int row, int) const override
    {
        ++reads;
        return "第" + std::to_string(row + 1) + "题：下列哪一个城市是中国的首都？A. 上海 B. 北京 C. 广州 D. 深圳";
    }
    bool InternalCanModify() const override { return false; }
    void InternalUpdate(int, const std::vector<FieldChange>&) override {}
    int InternalInsert(const std::vector<FieldChange>&) override { return 0; }
    void InternalDelete(int) override {}

private:
    int rows_;
};

// The list as the main window sets it up, on a parent of the window's size.
struct List {
    vcl::TDataSource source;
    vcl::TDBGrid grid{nullptr};
    QWidget parent;

    List()
    {
        parent.resize(658, 434);
        grid.Handle()->setParent(&parent);
        grid.SetBounds(22, 10, 609, 241);
        grid.Font().SetName("宋体");
        grid.Font().SetHeight(-14);
        grid.TitleFont().SetName("宋体");
        grid.TitleFont().SetHeight(-12);
        using enum vcl::TDBGridOption;
        grid.SetOptions({dgTitles, dgIndicator, dgColumnResize, dgColLines, dgRowLines, dgTabs, dgRowSelect,
                         dgConfirmDelete, dgCancelOnExit});
        vcl::TColumn* column = grid.Columns().Add();
        column->SetFieldName("题目");
        column->SetWidth(909);
        grid.SetDataSource(&source);
    }
};

// A paint device that accepts every drawing command and draws nothing.
class DiscardingEngine : public QPaintEngine {
public:
    DiscardingEngine() : QPaintEngine(QPaintEngine::AllFeatures) {}
    bool begin(QPaintDevice*) override { return true; }
    bool end() override { return true; }
    void updateState(const QPaintEngineState&) override {}
    void drawPixmap(const QRectF&, const QPixmap&, const QRectF&) override {}
    void drawTextItem(const QPointF&, const QTextItem&) override {}
    void drawRects(const QRect*, int) override {}
    void drawRects(const QRectF*, int) override {}
    void drawLines(const QLine*, int) override {}
    void drawLines(const QLineF*, int) override {}
    void drawPolygon(const QPointF*, int, PolygonDrawMode) override {}
    void drawPolygon(const QPoint*, int, PolygonDrawMode) override {}
    void drawPath(const QPainterPath&) override {}
    void drawImage(const QRectF&, const QImage&, const QRectF&, Qt::ImageConversionFlags) override {}
    Type type() const override { return QPaintEngine::User; }
};

class DiscardingDevice : public QPaintDevice {
public:
    explicit DiscardingDevice(QSize size) : size_(size) {}
    QPaintEngine* paintEngine() const override { return &engine_; }

protected:
    int metric(PaintDeviceMetric metric) const override
    {
        switch (metric) {
        case PdmWidth: return size_.width();
        case PdmHeight: return size_.height();
        case PdmWidthMM: return size_.width() * 254 / 960;
        case PdmHeightMM: return size_.height() * 254 / 960;
        case PdmNumColors: return 1 << 24;
        case PdmDepth: return 32;
        case PdmDpiX: case PdmDpiY: case PdmPhysicalDpiX: case PdmPhysicalDpiY: return 96;
        case PdmDevicePixelRatio: return 1;
        case PdmDevicePixelRatioScaled: return int(QPaintDevice::devicePixelRatioFScale());
        }
        return 0;
    }

private:
    QSize size_;
    mutable DiscardingEngine engine_;
};

double microseconds(Clock::duration d)
{
    return std::chrono::duration<double, std::micro>(d).count();
}

void run(int rows, int iterations)
{
    List list;
    GeneratedQuestions data(rows);
    list.source.SetDataSet(&data);
    data.Open();
    QWidget* view = list.grid.view();
    QImage image(view->size(), QImage::Format_RGB32);
    view->render(&image);  // warm the font caches

    auto timed = [&](auto&& step) {
        const auto start = Clock::now();
        for (int i = 0; i < iterations; ++i)
            step(i);
        return microseconds(Clock::now() - start) / iterations;
    };
    // Back and forth over the first thousand rows (or all of them), so that moves scroll the list too.
    const int span = std::max(2, std::min(rows, 1000));
    auto moveByOne = [&](int i) { data.MoveBy((i / (span - 1)) % 2 == 0 ? 1 : -1); };

    DiscardingDevice nothing(view->size());
    data.reads = 0;
    const double recorded = timed([&](int) { view->render(&nothing); });
    const double readsPerPaint = double(data.reads) / iterations;
    const double rasterised = timed([&](int) { view->render(&image); });
    const double move = timed(moveByOne);
    const double moveAndPaint = timed([&](int i) {
        moveByOne(i);
        view->render(&nothing);
    });

    std::printf("processor time per step, rows %8d (%2d on screen, %2.0f values read per paint): paint %6.1f us (the list's own), %6.1f us rasterised;"
                " move by one %5.1f us, with its paint %6.1f us\n",
                rows, list.grid.rowsOnScreen(), readsPerPaint, recorded, rasterised, move, moveAndPaint);
}

}  // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    vcl::installFontSubstitutes();
    QApplication app(argc, argv);
    std::vector<int> rows;
    int iterations = 2000;
    for (int i = 1; i < argc; ++i) {
        if (!std::strcmp(argv[i], "--rows") && i + 1 < argc)
            rows.push_back(std::atoi(argv[++i]));
        else if (!std::strcmp(argv[i], "--iterations") && i + 1 < argc)
            iterations = std::max(1, std::atoi(argv[++i]));
        else {
            std::fprintf(stderr, "usage: bench-grid [--rows N]... [--iterations K]\n");
            return 2;
        }
    }
    if (rows.empty())
        rows = {20, 1000000};
    for (int n : rows)
        run(n, iterations);
    return 0;
}

// The chart of the shown person's ancestors or descendants.

#include "LNKinloomController.h"

#include <algorithm>

namespace kinloom {

void LNKinloomController::setChartKind(LNChartKind kind) {
    if (kind == chartKind_) return;
    chartKind_ = kind;
    showChart(shown_->chartKey);
}

void LNKinloomController::setChartGenerations(int generations) {
    generations = std::clamp(generations, minChartGenerations, maxChartGenerations);
    if (generations == chartGenerations_) return;
    chartGenerations_ = generations;
    showChart(shown_->chartKey);
}

void LNKinloomController::showChart(const SharedString& key) {
    shown_->chartKey = key;
    shown_->chart.reset();
    if (chartView_) chartView_->reloadData();
}

const LNChartLayout* LNKinloomController::chartForView(LNChartView*) {
    LNShownFile& shown = *shown_;
    if (shown.chart) return shown.chart.get();
    const auto& person =
        shown.records && shown.chartKey ? shown.records->indiWithKey(shown.chartKey.view()) : nullptr;
    if (!person) return nullptr;
    shown.chart = std::make_unique<LNChartLayout>(*shown.records, *person, chartKind_, chartGenerations_);
    return shown.chart.get();
}

void LNKinloomController::chartClicked(LNView*) {
    const LNChartLayout* chart = shown_->chart.get();
    if (!chartView_ || !chart) return;
    const int box = chartView_->clickedBox();
    if (box < 0 || box >= static_cast<int>(chart->boxes().size())) return;
    // Copied: selecting the person replaces the chart.
    const SharedString key = chart->boxes()[static_cast<std::size_t>(box)].indi->key();
    if (key) selectPerson(key, true, true);
}

} // namespace kinloom

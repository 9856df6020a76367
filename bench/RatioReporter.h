// Console reporter shared by the benchmarks that print a ratio against a peer after the run.
#pragma once

#include <benchmark/benchmark.h>

#include <map>
#include <string>
#include <vector>

// Prints the console report and keeps each benchmark's CPU time per iteration by name: the
// median when repetitions are asked for, else the single run.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& r : runs) {
            const std::string name = r.run_name.str();
            if (r.run_type == Run::RT_Aggregate && r.aggregate_name == "median")
                medians[name] = r.GetAdjustedCPUTime();
            else if (r.run_type == Run::RT_Iteration)
                singles[name] = r.GetAdjustedCPUTime();
        }
    }
    const double* Time(const std::string& name) const
    {
        for (const auto* m : {&medians, &singles})
            if (const auto it = m->find(name); it != m->end())
                return &it->second;
        return nullptr;
    }

private:
    std::map<std::string, double> medians;
    std::map<std::string, double> singles;
};

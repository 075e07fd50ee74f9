#pragma once

#include "compare/ChangeResult.h"

#include <memory>
#include <vector>
#include <wx/arrstr.h>

class AnalysisParam;
class Comparison;
class FilterParam;

// The files of a comparison that the filters leave visible, and their sums:
// what the window's Changes page and the report show. A file's folder is
// filtered by its full name below the new version's folder, as a count's
// files are, its date by the day its version was last changed.
class ChangeSelection
{
public:
    // Takes the files of comparison that pass filter; strRoot is the folder
    // the comparison's paths lie below. Sums them in total and by extension.
    void Select(const Comparison& comparison, const wxString& strRoot, const FilterParam& filter);
    void Clear();

    // A file's folder as the directory filter lists it.
    static wxString FolderName(const wxString& strRoot, const FileChange& file);
    // Adds the folders, extensions and dates of the comparison's files that
    // the lists do not hold yet, so that the filter panes offer every value
    // of both the count and the comparison. The extensions and dates come
    // back sorted.
    static void AddFilterValues(const Comparison& comparison, const wxString& strRoot,
                                wxArrayString& arrDirectories, wxArrayString& arrExtensions,
                                wxArrayString& arrDates);

    std::vector<const FileChange*> m_arrFiles; // borrowed from the comparison, by path
    std::vector<std::unique_ptr<ChangeGroup>> m_arrExtensions;
    ChangeResult m_total;
};

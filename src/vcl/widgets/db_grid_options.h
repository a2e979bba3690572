#pragma once
// The result list's options and its columns, as the window description sets them.
#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

namespace vcl {

enum class TDBGridOption {
    dgEditing, dgAlwaysShowEditor, dgTitles, dgIndicator, dgColumnResize, dgColLines, dgRowLines, dgTabs,
    dgRowSelect, dgAlwaysShowSelection, dgConfirmDelete, dgCancelOnExit, dgMultiSelect
};

class TDBGridOptions {
public:
    TDBGridOptions() = default;
    TDBGridOptions(std::initializer_list<TDBGridOption> options)
    {
        for (TDBGridOption option : options)
            bits_ |= bit(option);
    }
    bool Contains(TDBGridOption option) const noexcept { return bits_ & bit(option); }
    TDBGridOptions& Include(TDBGridOption option) noexcept { bits_ |= bit(option); return *this; }
    TDBGridOptions& Exclude(TDBGridOption option) noexcept { bits_ &= ~bit(option); return *this; }
    bool operator==(const TDBGridOptions&) const = default;

    // What the class starts with.
    static TDBGridOptions Defaults()
    {
        using enum TDBGridOption;
        return {dgEditing, dgTitles, dgIndicator, dgColumnResize, dgColLines, dgRowLines, dgTabs,
                dgConfirmDelete, dgCancelOnExit};
    }

private:
    static unsigned bit(TDBGridOption option) noexcept { return 1u << static_cast<unsigned>(option); }
    unsigned bits_ = 0;
};

class TDBGrid;

// One column of the list: which field it shows and how wide it is. Its title is the field's name.
class TColumn {
public:
    const std::string& FieldName() const noexcept { return fieldName_; }
    void SetFieldName(std::string fieldName);
    int Width() const noexcept { return width_; }
    void SetWidth(int width);
    bool Visible() const noexcept { return visible_; }
    void SetVisible(bool visible);
    bool Expanded() const noexcept { return expanded_; }
    void SetExpanded(bool expanded) { expanded_ = expanded; }
    int Index() const noexcept { return index_; }

private:
    friend class TDBGridColumns;
    TColumn(TDBGrid& grid, int index) : grid_(grid), index_(index) {}
    TDBGrid& grid_;
    int index_;
    std::string fieldName_;
    int width_ = 64;
    bool visible_ = true;
    bool expanded_ = false;
};

class TDBGridColumns {
public:
    int Count() const noexcept { return static_cast<int>(columns_.size()); }
    TColumn* Add();
    TColumn* Items(int index) const { return columns_.at(static_cast<std::size_t>(index)).get(); }
    TColumn* operator[](int index) const { return Items(index); }
    void Clear();

private:
    friend class TDBGrid;
    explicit TDBGridColumns(TDBGrid& grid) : grid_(grid) {}
    TDBGrid& grid_;
    std::vector<std::unique_ptr<TColumn>> columns_;
};

}  // namespace vcl

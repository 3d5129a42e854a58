// The two ways a report is printed. Both walk the same ReportDocument in the
// same order, so what one shows the other shows too; only the markup
// differs.

#include <string>

#include "common/session/run_report.h"

namespace ludaro {
namespace {

std::string TitleWithCount(const ReportSection& section) {
  return section.count ? section.title + ": " + std::to_string(*section.count) : section.title;
}

std::string MoreText(std::uint64_t more) { return "… y " + std::to_string(more) + " más"; }

// ------------------------------------------------------------ Markdown

std::string MarkdownItemText(const ReportItem& item) {
  std::string text;
  if (!item.label.empty()) text += MarkdownText(item.label) + ": ";
  if (!item.strong.empty()) text += "**" + MarkdownText(item.strong) + "** ";
  text += MarkdownText(item.text);
  return item.link.empty() ? text : "[" + text + "](#" + item.link + ")";
}

void MarkdownItems(std::string& page, const std::vector<ReportItem>& items, const std::string& indent) {
  for (const auto& item : items) {
    page += indent + "- " + MarkdownItemText(item) + "\n";
    MarkdownItems(page, item.children, indent + "  ");
  }
}

void MarkdownTable(std::string& page, const ReportTable& table) {
  page += "|";
  for (const auto& column : table.columns) page += " " + MarkdownText(column) + " |";
  page += "\n|";
  for (std::size_t i = 0; i < table.columns.size(); ++i)
    page += i < table.numeric.size() && table.numeric[i] ? "---:|" : "---|";
  page += "\n";
  for (const auto& row : table.rows) {
    page += "|";
    for (const auto& cell : row) page += " " + MarkdownText(cell) + " |";
    page += "\n";
  }
}

void MarkdownSection(std::string& page, const ReportSection& section, int level) {
  // An anchor of its own: headings with accents get no portable one.
  page += "<a id=\"" + section.id + "\"></a>\n\n" + std::string(static_cast<std::size_t>(level), '#') + " " +
          MarkdownText(TitleWithCount(section)) + "\n\n";
  for (const auto& paragraph : section.paragraphs) page += MarkdownText(paragraph) + "\n\n";
  MarkdownItems(page, section.items, "");
  if (section.more > 0) page += "- " + MoreText(section.more) + "\n";
  if (!section.items.empty() || section.more > 0) page += "\n";
  if (section.table) {
    MarkdownTable(page, *section.table);
    page += "\n";
  }
  for (const auto& sub : section.subsections) MarkdownSection(page, sub, level + 1);
}

// ------------------------------------------------------------ HTML

// Plain, for screen and paper alike: black on white, no web fonts, a table
// row or heading never split from what follows across an A4 page.
constexpr const char* kStyle = R"(
@page { size: A4; margin: 18mm 15mm; }
body { font-family: Arial, Helvetica, sans-serif; font-size: 10.5pt; line-height: 1.35; color: #000;
       background: #fff; margin: 1.5em auto; max-width: 52em; padding: 0 1em; }
h1 { font-size: 17pt; margin: 0 0 .4em; }
h2 { font-size: 13pt; margin: 1.4em 0 .4em; padding-bottom: .15em; border-bottom: 1px solid #888; }
h3 { font-size: 11pt; margin: 1em 0 .3em; }
h2, h3 { break-after: avoid; page-break-after: avoid; }
ul { margin: .2em 0 .6em; padding-left: 1.4em; }
ul.datos { list-style: none; padding-left: 0; }
table { border-collapse: collapse; margin: .3em 0 .8em; }
th, td { border: 1px solid #999; padding: .15em .5em; text-align: left; vertical-align: top; }
th { background: #eee; }
td.n { text-align: right; }
tr { break-inside: avoid; page-break-inside: avoid; }
strong { color: #a00000; }
#resumen { border: 1px solid #888; padding: 0 .8em .3em; }
#avisos h3 { color: #7a4a00; }
summary { cursor: pointer; color: #333; }
@media print {
  body { margin: 0; max-width: none; padding: 0; font-size: 10pt; }
  a { color: inherit; text-decoration: none; }
  summary { display: none; }
}
)";

std::string HtmlItemText(const ReportItem& item) {
  std::string text;
  if (!item.label.empty()) text += HtmlText(item.label) + ": ";
  if (!item.strong.empty()) text += "<strong>" + HtmlText(item.strong) + "</strong> ";
  text += HtmlText(item.text);
  return item.link.empty() ? text : "<a href=\"#" + HtmlText(item.link) + "\">" + text + "</a>";
}

void HtmlItems(std::string& page, const std::vector<ReportItem>& items, const char* listClass = nullptr) {
  page += listClass ? std::string("<ul class=\"") + listClass + "\">\n" : std::string("<ul>\n");
  for (const auto& item : items) {
    page += "<li>" + HtmlItemText(item);
    if (!item.children.empty()) {
      page += "\n";
      HtmlItems(page, item.children);
    }
    page += "</li>\n";
  }
  page += "</ul>\n";
}

void HtmlTable(std::string& page, const ReportTable& table) {
  const auto numeric = [&](std::size_t i) { return i < table.numeric.size() && table.numeric[i]; };
  page += "<table>\n<thead><tr>";
  for (std::size_t i = 0; i < table.columns.size(); ++i)
    page += std::string(numeric(i) ? "<th class=\"n\">" : "<th>") + HtmlText(table.columns[i]) + "</th>";
  page += "</tr></thead>\n<tbody>\n";
  for (const auto& row : table.rows) {
    page += "<tr>";
    for (std::size_t i = 0; i < row.size(); ++i)
      page += std::string(numeric(i) ? "<td class=\"n\">" : "<td>") + HtmlText(row[i]) + "</td>";
    page += "</tr>\n";
  }
  page += "</tbody>\n</table>\n";
}

// Lists longer than this fold behind their count, open at first.
constexpr std::size_t kFoldAfter = 5;

void HtmlSection(std::string& page, const ReportSection& section, int level) {
  const std::string heading = "h" + std::to_string(level);
  page += "<section id=\"" + HtmlText(section.id) + "\">\n<" + heading + ">" + HtmlText(TitleWithCount(section)) +
          "</" + heading + ">\n";
  for (const auto& paragraph : section.paragraphs) page += "<p>" + HtmlText(paragraph) + "</p>\n";
  if (!section.items.empty() || section.more > 0) {
    const bool fold = section.items.size() > kFoldAfter;
    if (fold) page += "<details open>\n<summary>" + std::to_string(section.items.size()) + " listadas</summary>\n";
    std::vector<ReportItem> items = section.items;
    if (section.more > 0) items.push_back({"", "", MoreText(section.more), "", {}});
    HtmlItems(page, items);
    if (fold) page += "</details>\n";
  }
  if (section.table) HtmlTable(page, *section.table);
  for (const auto& sub : section.subsections) HtmlSection(page, sub, level + 1);
  page += "</section>\n";
}

}  // namespace

std::string MarkdownText(std::string_view text) {
  std::string escaped;
  escaped.reserve(text.size());
  for (const char c : text) {
    if (c == '\r' || c == '\n') {
      escaped += ' ';
      continue;
    }
    if (std::string_view("\\`*_[]<>|#!~").find(c) != std::string_view::npos) escaped += '\\';
    escaped += c;
  }
  return escaped;
}

std::string HtmlText(std::string_view text) {
  std::string escaped;
  escaped.reserve(text.size());
  for (const char c : text) {
    switch (c) {
      case '&': escaped += "&amp;"; break;
      case '<': escaped += "&lt;"; break;
      case '>': escaped += "&gt;"; break;
      case '"': escaped += "&quot;"; break;
      case '\'': escaped += "&#39;"; break;
      default: escaped += c; break;
    }
  }
  return escaped;
}

std::string RenderMarkdown(const ReportDocument& document) {
  std::string page = "# " + MarkdownText(document.title) + "\n\n";
  MarkdownItems(page, document.facts, "");
  page += "\n";
  for (const auto& section : document.sections) MarkdownSection(page, section, 2);
  return page;
}

std::string RenderHtml(const ReportDocument& document) {
  std::string page = "<!DOCTYPE html>\n<html lang=\"es\">\n<head>\n<meta charset=\"utf-8\">\n<title>" +
                     HtmlText(document.title) + "</title>\n<style>" + kStyle + "</style>\n</head>\n<body>\n<h1>" +
                     HtmlText(document.title) + "</h1>\n";
  HtmlItems(page, document.facts, "datos");
  for (const auto& section : document.sections) HtmlSection(page, section, 2);
  page += "</body>\n</html>\n";
  return page;
}

}  // namespace ludaro

// The project's README against the tree it describes: its layout table
// names every folder the build is made of.

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

std::string ReadText(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

// The first cells of the table rows under the "## Layout" heading.
std::string LayoutFolderCells(const std::string& readme) {
  const size_t start = readme.find("\n## Layout\n");
  if (start == std::string::npos) return {};
  const size_t end = readme.find("\n## ", start + 1);
  std::istringstream section(readme.substr(start, end == std::string::npos ? std::string::npos : end - start));
  std::string cells, line;
  while (std::getline(section, line)) {
    if (line.rfind("| ", 0) != 0) continue;
    const size_t bar = line.find(" |", 1);
    cells += line.substr(0, bar) + "\n";
  }
  return cells;
}

std::vector<std::string> Split(const std::string& list) {
  std::vector<std::string> items;
  std::istringstream in(list);
  for (std::string item; std::getline(in, item, ',');)
    if (!item.empty()) items.push_back(item);
  return items;
}

TEST(Readme, LayoutTableNamesEveryFolderOfTheBuild) {
  const std::string cells = LayoutFolderCells(ReadText(ZELTO_README));
  ASSERT_FALSE(cells.empty()) << "no layout table";
  std::vector<std::string> folders = Split(ZELTO_SOURCE_FOLDERS);
  ASSERT_FALSE(folders.empty());
  for (const char* other : {"tests", "bench", "fuzz"}) folders.emplace_back(other);
  for (const std::string& folder : folders)
    EXPECT_NE(cells.find("`" + folder + "/`"), std::string::npos) << folder << "/ is missing from the layout table";
}

}  // namespace

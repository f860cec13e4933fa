// The help file: the pages of media-src/help compiled by chmcmd into
// tavHelp.chm. Pages are kept as UTF-8 for editing and go into the help
// file in code page 936, the encoding Chinese help viewers expect.
#include "kit.h"
#include "layout.h"
#include "mediagen.h"

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <vector>

namespace mediagen {

namespace {

struct Topic {
    const char* file;
    const char* title;
    int level; // 0 = chapter, 1 = page in the chapter above
};

// The contents as the help viewer lists them.
const Topic kTopics[] = {
    {"index.html", "帮助首页", 0},  {"parents.html", "给家长的话", 0},
    {"menu.html", "主画面", 0},     {"index.html", "学习方法", 0},
    {"recite.html", "朗读", 1},     {"point.html", "指读", 1},
    {"flash.html", "认字", 1},      {"listen.html", "听音找字", 1},
    {"review.html", "温故知新", 1}, {"games.html", "游戏乐园", 0},
    {"game1.html", "翻牌记字", 1},  {"game2.html", "接字射字", 1},
    {"game3.html", "看字涂色", 1},  {"game4.html", "串珍珠", 1},
    {"game5.html", "诗句拼图", 1},
};

std::string readText(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    if (!in)
        throw std::runtime_error("cannot read " + file.string());
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

void replaceAll(std::string& s, const std::string& from, const std::string& to) {
    for (size_t at = s.find(from); at != std::string::npos; at = s.find(from, at + to.size()))
        s.replace(at, from.size(), to);
}

std::string sitemapItem(const std::string& name, const std::string& file) {
    return "<LI> <OBJECT type=\"text/sitemap\">\r\n"
           "\t<param name=\"Name\" value=\"" +
           name + "\">\r\n\t<param name=\"Local\" value=\"" + file + "\">\r\n\t</OBJECT>\r\n";
}

std::string contentsFile() {
    std::string s = "<!DOCTYPE HTML PUBLIC \"-//IETF//DTD HTML//EN\">\r\n<HTML>\r\n<HEAD>\r\n"
                    "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=gb2312\">\r\n"
                    "</HEAD>\r\n<BODY>\r\n<UL>\r\n";
    bool open = false;
    for (const Topic& t : kTopics) {
        if (t.level == 0 && open) {
            s += "</UL>\r\n";
            open = false;
        }
        if (t.level == 1 && !open) {
            s += "<UL>\r\n";
            open = true;
        }
        s += sitemapItem(toCp936(t.title), t.file);
    }
    if (open)
        s += "</UL>\r\n";
    return s + "</UL>\r\n</BODY>\r\n</HTML>\r\n";
}

std::string projectFile(const std::vector<std::string>& files) {
    std::string s = "[OPTIONS]\r\n"
                    "Compatibility=1.1 or later\r\n"
                    "Compiled file=tavHelp.chm\r\n"
                    "Contents file=toc.hhc\r\n"
                    "Default topic=index.html\r\n"
                    "Display compile progress=No\r\n"
                    "Language=0x804 Chinese (PRC)\r\n"
                    "Title=" +
                    toCp936("唐诗识字乐园 帮助") + "\r\n\r\n[FILES]\r\n";
    for (const std::string& f : files)
        s += f + "\r\n";
    return s;
}

} // namespace

void writeHelp(const fs::path& appDir) {
    const fs::path source = fs::path(SHIZI_SOURCE_DIR) / "media-src" / "help";
    const fs::path work = appDir / ".help-build";
    fs::remove_all(work);
    fs::create_directories(work);

    std::vector<std::string> files;
    for (const auto& entry : fs::directory_iterator(source)) {
        const std::string name = entry.path().filename().string();
        const std::string ext = entry.path().extension().string();
        if (ext == ".html") {
            std::string page = readText(entry.path());
            replaceAll(page, "<meta charset=\"utf-8\">",
                       "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=gb2312\">");
            kit::writeFile(work / name, toCp936(page));
        } else if (ext == ".css") {
            fs::copy_file(entry.path(), work / name);
        } else {
            continue;
        }
        files.push_back(name);
    }
    std::sort(files.begin(), files.end());
    for (const Topic& t : kTopics)
        if (std::find(files.begin(), files.end(), t.file) == files.end())
            throw std::runtime_error(std::string("help page missing: ") + t.file);

    kit::writeFile(work / "toc.hhc", contentsFile());
    kit::writeFile(work / "tavHelp.hhp", projectFile(files));
    const std::string cmd = "cd '" + work.string() + "' && chmcmd tavHelp.hhp > chmcmd.log 2>&1";
    if (std::system(cmd.c_str()) != 0 || !fs::exists(work / "tavHelp.chm"))
        throw std::runtime_error("chmcmd could not build the help file; see " +
                                 (work / "chmcmd.log").string());
    fs::rename(work / "tavHelp.chm", appDir / "tavHelp.chm");
    fs::remove_all(work);
}

} // namespace mediagen

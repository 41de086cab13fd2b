// The document builds as a user meets them on the command line: a failed
// build keeps the old document, outputs that are not files, the options'
// Unix conventions, the RTF every reader opens, C++ heads, messages, Visual
// Basic modules, and the cost of a long order list. Every case runs folios.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "folios_runner.h"
#include "test_support.h"

namespace folios::test {
namespace {

namespace fs = std::filesystem;

const char kDocumented[] =
    "// @doc\n"
    "/* @func Adds two counts.\n"
    " * @parm The first.\n"
    " * @parm The second. */\n"
    "int add(int a, int b);\n";

class Documents : public ::testing::Test {
 protected:
  RunResult Run(const std::vector<std::string>& args) { return RunFolios(args, dir_.path()); }
  std::string File(const std::string& name) const { return dir_.File(name); }
  // Runs a bash script in the work directory, `$folios` naming the program;
  // its exit status, standard output and standard error.
  RunResult Shell(const std::string& script) {
    WriteFile(File("run.sh"), "cd '" + dir_.path() + "'\nfolios='" FOLIOS_EXECUTABLE "'\n" + script);
    int status = std::system(("bash '" + File("run.sh") + "' > '" + File("run.out") + "' 2> '" +
                              File("run.err") + "'")
                                 .c_str());
    RunResult result;
    result.exit_code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    result.out = ReadFile(File("run.out"));
    result.err = ReadFile(File("run.err"));
    return result;
  }
  bool NoTemporaryFiles() const {
    for (const auto& entry : fs::directory_iterator(dir_.path())) {
      if (entry.path().filename().string().find(".tmp-") != std::string::npos) return false;
    }
    return true;
  }

  ScopedSettings settings_;
  TempDir dir_;
};

TEST_F(Documents, ABuildThatReadNothingKeepsTheOldDocument) {
  WriteFile(File("ref.rtf"), "a complete reference");
  WriteFile(File("x.rtf"), "a complete listing");
  fs::create_directory(File("adir"));
  RunResult r = Run({"doc", "-o", "ref.rtf", "typo.c"});
  EXPECT_EQ(r.exit_code, 1);
  EXPECT_EQ(r.err, "typo.c: Error 102: file not found\nref.rtf: not written: none of the sources could be read\n");
  EXPECT_EQ(ReadFile(File("ref.rtf")), "a complete reference");
  r = Run({"doc", "-o", "ref.rtf", "adir"});
  EXPECT_EQ(r.exit_code, 1);
  EXPECT_EQ(ReadFile(File("ref.rtf")), "a complete reference");
  r = Run({"listing", "-o", "x.rtf", "missing.c"});
  EXPECT_EQ(r.exit_code, 1);
  EXPECT_NE(r.err.find("folios: cannot write 'x.rtf': none of the files could be read; the old document was left "
                       "as it was\n"),
            std::string::npos)
      << r.err;
  EXPECT_EQ(r.err.find("listed as it is"), std::string::npos) << r.err;  // one missing file, said once
  EXPECT_EQ(ReadFile(File("x.rtf")), "a complete listing");
  EXPECT_TRUE(NoTemporaryFiles());
  // With one source read the document is written, and the others reported.
  WriteFile(File("a.c"), kDocumented);
  r = Run({"doc", "-o", "ref.rtf", "typo.c", "a.c"});
  EXPECT_EQ(r.exit_code, 1);
  EXPECT_NE(ReadFile(File("ref.rtf")).find("add"), std::string::npos);
}

TEST_F(Documents, PipesStandardOutputAndDescriptorsAreWrittenInto) {
  WriteFile(File("a.c"), kDocumented);
  RunResult r = Shell(
      "\"$folios\" listing -o /dev/stdout a.c | wc -c > via-stdout.txt\n"
      "\"$folios\" listing -o /dev/fd/3 a.c 3> via-fd.rtf\n"
      "\"$folios\" listing -o >(cat > via-substitution.rtf) a.c\n"
      "wait $!\n"
      "\"$folios\" doc -o - a.c > via-dash.rtf\n"
      "\"$folios\" doc -v -o - a.c > verbose-dash.rtf 2> verbose.txt\n");
  EXPECT_EQ(r.exit_code, 0) << r.err;
  EXPECT_EQ(r.err, "");
  std::string listing = ReadFile(File("via-fd.rtf"));
  EXPECT_EQ(listing.rfind("{\\rtf1", 0), 0u);
  EXPECT_EQ(std::stoul(ReadFile(File("via-stdout.txt"))), listing.size());
  EXPECT_EQ(ReadFile(File("via-substitution.rtf")), listing);
  // doc -o - writes to standard output, no file named "-"; its verbose
  // text then goes to standard error.
  std::string reference = ReadFile(File("via-dash.rtf"));
  EXPECT_EQ(reference.rfind("{\\rtf1", 0), 0u);
  EXPECT_NE(reference.find("add"), std::string::npos);
  EXPECT_FALSE(fs::exists(File("-")));
  EXPECT_EQ(ReadFile(File("verbose-dash.rtf")), reference);
  EXPECT_NE(ReadFile(File("verbose.txt")).find("Writing topics..."), std::string::npos);
  // A help project names its document's file: standard output has none.
  EXPECT_EQ(Shell("\"$folios\" doc -rh -o - a.c > help.rtf").exit_code, 0);
  EXPECT_FALSE(fs::exists(File("-.HPJ")));
  EXPECT_TRUE(NoTemporaryFiles());
}

TEST_F(Documents, OptionsEndAtTwoDashesAndUnknownOnesAreRefused) {
  WriteFile(File("-notes.c"), kDocumented);
  RunResult r = Run({"doc", "-o", "o1.rtf", "-notes.c"});
  EXPECT_EQ(r.exit_code, 2);
  EXPECT_EQ(r.err,
            "folios: Error 122: unknown option: '-notes.c' (a SOURCE whose name begins with '-' goes after '--')\n"
            "Try 'folios doc --help'.\n");
  EXPECT_FALSE(fs::exists(File("o1.rtf")));
  r = Run({"doc", "-o", "o2.rtf", "--", "-notes.c"});
  EXPECT_EQ(r.exit_code, 0) << r.err;
  EXPECT_NE(ReadFile(File("o2.rtf")).find("add"), std::string::npos);
  // -uv is -u and -v, never -u alone.
  r = Run({"doc", "-uv", "-o", "o3.rtf", "--", "-notes.c"});
  EXPECT_EQ(r.exit_code, 0) << r.err;
  EXPECT_NE(r.out.find("Writing topics..."), std::string::npos) << r.out;
  r = Run({"doc", "-o", "o4.rtf"});
  EXPECT_EQ(r.exit_code, 2);
  EXPECT_EQ(r.err, "folios: no SOURCE given\nTry 'folios doc --help'.\n");
  // Every command takes "--".
  EXPECT_EQ(Run({"listing", "-o", "o5.rtf", "--", "-notes.c"}).exit_code, 0);
  EXPECT_NE(ReadFile(File("o5.rtf")).find("-notes.c"), std::string::npos);
  r = Run({"files", "--", "-notes.c"});
  EXPECT_EQ(r.exit_code, 0) << r.err;
  EXPECT_NE(r.out.find("-notes.c"), std::string::npos);
  EXPECT_EQ(Run({"reformat", "--", "-notes.c"}).exit_code, 0);
  EXPECT_EQ(Run({"settings", "get", "--", "m_openfile"}).out, "1\n");
}

TEST_F(Documents, ListingsAreWellFormedRtf) {
  WriteFile(File("a.c"), "int a;\n\fint b; /* c */\n");
  WriteFile(File("kw.lfx"),
            "Lumentra Folios bgc\nint\nTrue\nFalse\nFalse\n2147483647\n-5\nreturn\nFalse\nFalse\nFalse\n2\n8\n"
            "\n\n\n\n0\n0\n");
  RunResult r = Run({"listing", "--set", "m_use_advanced_options=0", "--set", "m_cfiles=" + File("kw.lfx"), "-o",
                     "a.rtf", "a.c"});
  EXPECT_EQ(r.exit_code, 0) << r.err;
  EXPECT_EQ(r.err, "folios: warning: " + File("kw.lfx") +
                       " - 2 colours are not in the colour table (0 to 16), such as '2147483647' of the keyword "
                       "'int';\nthe automatic colour is used instead.\n");
  std::string rtf = ReadFile(File("a.rtf"));
  // The document end closes the line's group and the document's, once.
  EXPECT_EQ(rtf.substr(rtf.size() - 12), "*/}{\n\\par}}\n");
  EXPECT_EQ(rtf.find("\\par}}"), rtf.size() - 7);
  // Style sheet entries describe styles: no paragraph reset in them.
  size_t sheet = rtf.find("{\\stylesheet");
  ASSERT_NE(sheet, std::string::npos);
  EXPECT_EQ(rtf.substr(sheet, rtf.find("\n", sheet) - sheet).find("\\pard"), std::string::npos);
  // A form feed is a page break; a colour outside the table is none.
  EXPECT_EQ(rtf.find('\f'), std::string::npos);
  EXPECT_NE(rtf.find("\n\\par }{\\page int b;"), std::string::npos);
  EXPECT_NE(rtf.find("}{\\b\\cf0\\highlight0 int}{ a;"), std::string::npos);
  EXPECT_EQ(rtf.find("2147483647"), std::string::npos);
  EXPECT_EQ(rtf.find("\\highlight-5"), std::string::npos);
  // A blank ends every control word that text follows: the path and the
  // comment are read whole.
  EXPECT_NE(rtf.find("\\lang1033 " + File("a.c")), std::string::npos);
  EXPECT_NE(rtf.find("\\highlight8 /* c */"), std::string::npos);
}

TEST_F(Documents, CppHeadsAreWrittenAsTheCodeHasThem) {
  WriteFile(File("shapes.cpp"),
            "// @doc\n"
            "/* @mfunc Compares two shapes.\n   @parm The other shape. */\n"
            "bool Shape::operator<(const Shape &other) const\n{\n}\n"
            "/* @class A box. */\ntemplate <typename T>\nclass Box\n{\n"
            "  /* @cmember Compares. */\n  bool operator<(const Box &other) const;\n};\n"
            "/* @func Does nothing. */\nint f(void);\n"
            "/* @func Counts.\n   @parmopt The count. */\nint g(int n = -1);\n");
  RunResult r = Run({"doc", "-o", "shapes.rtf", "shapes.cpp"});
  EXPECT_EQ(r.exit_code, 0) << r.err;
  EXPECT_EQ(r.err, "");
  std::string rtf = ReadFile(File("shapes.rtf"));
  for (const char* head : {"bool {\\b Shape::operator<}(const Shape &other) const\\par",
                           "template <typename T> class Box\\par", "bool {\\b operator<}(const Box &other) const\\cell",
                           "int {\\b f}(void)\\par", "int {\\b g}(int n = -1)\\par", "int {\\b n} = -1\\cell"}) {
    EXPECT_NE(rtf.find(head), std::string::npos) << head;
  }
}

TEST_F(Documents, MessagesNameWhereTheTextCameFromAndFailTheRun) {
  WriteFile(File("a.c"),
            "// @doc\n"
            "/* @func Sets the level.\n"
            " * @parm The level; may be < 0 or > 100. */\n"
            "void set(int level);\n");
  RunResult r = Run({"doc", "-o", "a.rtf", "a.c"});
  EXPECT_EQ(r.exit_code, 1);
  EXPECT_EQ(r.err, "a.c(3): Error 146: a name that is empty or longer than 64 characters: \"< 0 or > 100.\"\n");
  WriteFile(File("b.c"), "// @doc\n// @func Counts.\nint count(int n);\n/* @func Lost.\nint lost(void);\n");
  r = Run({"doc", "-o", "b.rtf", "b.c"});
  EXPECT_EQ(r.exit_code, 1);
  EXPECT_NE(r.err.find("b.c(4): Error 216: a comment that is not closed before the end of the file"),
            std::string::npos)
      << r.err;
  WriteFile(File("c.c"), "// @doc\n// @parm Before any topic.\n// @func Counts.\nint count(int n);\n");
  r = Run({"doc", "-o", "c.rtf", "c.c"});
  EXPECT_EQ(r.exit_code, 1);
  EXPECT_EQ(r.err, "c.c(2): Error 206: a tag inside a documentation block before any topic tag\n");
  r = Run({"doc", "-r", "xyz", "-o", "d.rtf", "c.c"});
  EXPECT_EQ(r.exit_code, 1);
  EXPECT_NE(r.err.find("Error 169: no token definition for the output type 'xyz' (the format files define doc, help, "
                       "html)\n"),
            std::string::npos)
      << r.err;
  WriteFile(File("ctl.vbp"), "UserControl=Gauge.ctl\n");
  r = Run({"files", "ctl.vbp"});
  EXPECT_EQ(r.exit_code, 1);
  EXPECT_EQ(r.err, "folios: ctl.vbp: no source files\n");
}

TEST_F(Documents, AVisualBasicModuleWithoutItsNameLineIsListedWhole) {
  WriteFile(File("Module1.bas"), "Option Explicit\nPublic Sub Greet()\n    MsgBox \"hello\"\nEnd Sub\n");
  RunResult r = Run({"listing", "-o", "m.rtf", "Module1.bas"});
  EXPECT_EQ(r.exit_code, 0) << r.err;
  std::string rtf = ReadFile(File("m.rtf"));
  for (const char* text : {"Option", "Greet()", "MsgBox \"hello\"", "End}{ "}) {
    EXPECT_NE(rtf.find(text), std::string::npos) << text;
  }
  // With its name line, "Code only" still starts there.
  WriteFile(File("Form1.frm"), "VERSION 5.00\nBegin VB.Form Form1\nEnd\nAttribute VB_Name = \"Form1\"\nSub X()\n");
  r = Run({"listing", "-o", "f.rtf", "Form1.frm"});
  std::string form = ReadFile(File("f.rtf"));
  EXPECT_EQ(form.find("VERSION"), std::string::npos);
  EXPECT_NE(form.find("VB_Name"), std::string::npos);
}

// An order list of 4,000 tags in reverse took minutes; in either order it is
// now written at once. (A limit far above the cost, so only a fault trips it.)
TEST_F(Documents, AReverseOrderListCostsNoMoreThanAForwardOne) {
  std::string format = "[file]\n.output=doc\n.pre={\\rtf1 \n.post=}\n[topic]\n.tag=t, doc, 1, 1, $1\n.order=";
  std::string source = "/* @doc\n @t Topic\n";
  const int tags = 4000;
  for (int i = tags - 1; i >= 0; --i) format += " p" + std::to_string(i);
  format += "\n.pre=\\par $1\n[paragraph]\n";
  for (int i = 0; i < tags; ++i) {
    format += ".tag=p" + std::to_string(i) + ", doc, 1, 1\n.format=\\par $1\n";
    source += " @p" + std::to_string(i) + " text" + std::to_string(i) + "\n";
  }
  format += "[extension]\n.ext=c, c\n[token]\n.output=doc, rtf\n";
  WriteFile(File("order.fmt"), format);
  WriteFile(File("topic.c"), source + "*/\n");
  RunResult r = Shell("timeout 60 \"$folios\" doc -f order.fmt -o out.rtf topic.c");
  EXPECT_EQ(r.exit_code, 0) << r.err;
  std::string rtf = ReadFile(File("out.rtf"));
  EXPECT_LT(rtf.find("text3999"), rtf.find("text0"));
}

}  // namespace
}  // namespace folios::test

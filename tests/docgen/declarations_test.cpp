// The declaration scanners: names and types cut from C, C++ and Visual
// Basic declarations.
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "declarations.h"
#include "doc_messages.h"
#include "format_model.h"

namespace folios::docgen {
namespace {

using Fields = std::vector<std::string>;

struct Step {
  int kind;
  int result;
  Fields fields;
};

struct Case {
  const char* name;
  const char* text;
  std::vector<Step> steps;  // run one after another on one cursor
};

void RunCases(const std::vector<Case>& cases) {
  for (const Case& c : cases) {
    ScanCursor cursor{c.text, 0};
    for (size_t s = 0; s < c.steps.size(); ++s) {
      const Step& step = c.steps[s];
      Fields fields;
      int rc = ParseDeclaration(step.kind, &cursor, true, &fields);
      EXPECT_EQ(rc, step.result) << c.name << ", step " << s;
      if (rc == 0 && step.result == 0) {
        EXPECT_EQ(fields, step.fields) << c.name << ", step " << s;
      }
    }
  }
}

TEST(DocDeclarations, CFunctionsAndTheirParameters) {
  RunCases({
      {"function then parameters", "int WINAPI Foo(int a, char *b);",
       {{kDeclFunction, 0, {"int WINAPI", "Foo"}},
        {kDeclParameter, 0, {"int", "a"}},
        {kDeclParameter, 0, {"char *", "b"}}}},
      {"a parameter of only a type", "(int)", {{kDeclParameter, 0, {"", "int"}}}},
      {"array parameter", "(char name[32], const struct Point *p)",
       {{kDeclParameter, 0, {"char", "name"}}, {kDeclParameter, 0, {"const struct Point *", "p"}}}},
      {"default value", "(int n = DEFAULT_SIZE)", {{kDeclParameterOpt, 0, {"int", "n", "DEFAULT_SIZE"}}}},
      {"negative default", "(int n = -1)", {{kDeclParameterOpt, 0, {"int", "n", "-1"}}}},
      {"defaults of every form, one after another",
       "(const char* mode = \"r,w\", char c = ',', Size s = {}, Size t = Size(2, 3), "
       "Pair<int, int> p = Pair<int, int>(), int m = a + b, double d = .5)",
       {{kDeclParameterOpt, 0, {"const char*", "mode", "\"r,w\""}},
        {kDeclParameterOpt, 0, {"char", "c", "','"}},
        {kDeclParameterOpt, 0, {"Size", "s", "{}"}},
        {kDeclParameterOpt, 0, {"Size", "t", "Size(2, 3)"}},
        {kDeclParameterOpt, 0, {"Pair\\<int, int\\>", "p", "Pair\\<int, int\\>()"}},
        {kDeclParameterOpt, 0, {"int", "m", "a + b"}},
        {kDeclParameterOpt, 0, {"double", "d", ".5"}}}},
      {"default cut by the line end continues", "(int n = Size(2,", {{kDeclParameterOpt, kDeclContinues, {}}}},
      {"string default cut by the line end continues", "(const char* s = \"a", {{kDeclParameterOpt, kDeclContinues, {}}}},
      {"head without its parameter list yet", "static int Foo", {{kDeclFunction, kDeclContinues, {}}}},
      {"template prefix", "template <class T> T Max(T a, T b)",
       {{kDeclFunction, 0, {"T", "Max"}}, {kDeclParameter, 0, {"T", "a"}}}},
      {"incomplete template prefix", "template <class T T Max(T a)", {{kDeclFunction, kDeclNotThisKind, {}}}},
      {"template arguments are escaped", "std::vector<int> Sizes(void);",
       {{kDeclFunction, 0, {"std::vector\\<int\\>", "Sizes"}}}},
      {"field", "  unsigned long count;", {{kDeclField, 0, {"unsigned long", "count"}}}},
      {"no name at all", "(*)", {{kDeclParameter, kDeclNotThisKind, {}}}},
  });
}

TEST(DocDeclarations, CppMembersClassesAndQualifiedHeads) {
  RunCases({
      {"pure virtual member keeps its markers", "  virtual void Draw(int x) const = 0;",
       {{kDeclClassMember, 0, {"virtual void", "Draw", "(int x) const = 0"}}}},
      {"override is no name", "void Draw(Canvas& c) const override;",
       {{kDeclClassMember, 0, {"void", "Draw", "(Canvas& c) const override"}}}},
      {"defaulted, deleted, noexcept and ref-qualified members",
       "View(View&&) noexcept = default; View& operator=(const View&) = delete; int Get() const&& final {",
       {{kDeclClassMember, 0, {"", "View", "(View&&) noexcept = default"}},
        {kDeclClassMember, 0, {"View&", "operator=", "(const View&) = delete"}},
        {kDeclClassMember, 0, {"int", "Get", "() const && final"}}}},
      {"static member with an initializer", "static inline int count = 0;",
       {{kDeclClassMember, 0, {"static inline int", "count", ""}}}},
      {"argument blanks collapse", "int Set(int  a,\t int b);", {{kDeclClassMember, 0, {"int", "Set", "(int a, int b)"}}}},
      {"method", "int Size() const;", {{kDeclMethod, 0, {"int", "Size"}}}},
      {"destructor", "~View();", {{kDeclMethod, 0, {"", "~View"}}}},
      {"operator", "bool operator==(const A& other) const;", {{kDeclMethod, 0, {"bool", "operator=="}}}},
      {"member data with a qualified type", "std::string name_;", {{kDeclClassMember, 0, {"std::string", "name_", ""}}}},
      {"member head cut by the line end", "int Compute(int a,", {{kDeclClassMember, kDeclContinues, {}}}},
      {"qualified head with template class", "void List<T>::Add(T item)",
       {{kDeclMemberFunction, 0, {"void", "List", "Add"}}, {kDeclParameter, 0, {"T", "item"}}}},
      {"qualified head, qualified parameter type", "int Shape::Area(std::string unit) const",
       {{kDeclMemberFunction, 0, {"int", "Shape", "Area"}}}},
      {"no qualification", "void Add(int)", {{kDeclMemberFunction, kDeclContinues, {}}}},
      {"class with export macro", "class EXPORT View : public Base {", {{kDeclClass, 0, {"View"}}}},
      {"class template", "template <typename T> class Box", {{kDeclClass, 0, {"Box"}}}},
      {"not a class", "struct View {", {{kDeclClass, kDeclNoKeyword, {}}}},
      {"class with a stray character", "class View; // forward", {{kDeclClass, kDeclNotThisKind, {}}}},
  });
}

// Operators of every form, as class members and as qualified heads.
TEST(DocDeclarations, OperatorsAreNamesOfTheirOwn) {
  RunCases({
      {"less", "bool operator<(const Box &other) const;",
       {{kDeclClassMember, 0, {"bool", "operator\\<", "(const Box &other) const"}}}},
      {"shift", "std::ostream& operator<<(std::ostream& out) const;",
       {{kDeclClassMember, 0, {"std::ostream&", "operator\\<\\<", "(std::ostream& out) const"}}}},
      {"call", "int operator()(int x);", {{kDeclClassMember, 0, {"int", "operator()", "(int x)"}}}},
      {"subscript", "T& operator[](size_t i);", {{kDeclClassMember, 0, {"T&", "operator[]", "(size_t i)"}}}},
      {"defaulted comparison", "bool operator==(const A&) const = default;",
       {{kDeclClassMember, 0, {"bool", "operator==", "(const A&) const = default"}}}},
      {"new", "void* operator new(size_t n);", {{kDeclClassMember, 0, {"void*", "operator new", "(size_t n)"}}}},
      {"array delete", "void operator delete[](void* p) noexcept;",
       {{kDeclClassMember, 0, {"void", "operator delete[]", "(void* p) noexcept"}}}},
      {"literal", "Distance operator\"\"_km(long double v);",
       {{kDeclClassMember, 0, {"Distance", "operator\"\"_km", "(long double v)"}}}},
      {"conversion", "explicit operator bool() const;",
       {{kDeclClassMember, 0, {"explicit", "operator bool", "() const"}}}},
      {"conversion to a pointer", "operator const char*() const;",
       {{kDeclClassMember, 0, {"", "operator const char*", "() const"}}}},
      {"deleted assignment", "Shape& operator=(Shape&&) = delete;",
       {{kDeclClassMember, 0, {"Shape&", "operator=", "(Shape&&) = delete"}}}},
      {"member template", "template <typename U> void Put(U u);",
       {{kDeclClassMember, 0, {"template \\<typename U\\> void", "Put", "(U u)"}}}},
      {"qualified less", "bool Shape::operator<(const Shape &other) const",
       {{kDeclMemberFunction, 0, {"bool", "Shape", "operator\\<"}}, {kDeclParameter, 0, {"const Shape &", "other"}}}},
      {"qualified call", "int Counter::operator()(int step)",
       {{kDeclMemberFunction, 0, {"int", "Counter", "operator()"}}, {kDeclParameter, 0, {"int", "step"}}}},
      {"qualified conversion", "Shape::operator bool() const", {{kDeclMemberFunction, 0, {"", "Shape", "operator bool"}}}},
  });
}

// What a head says beyond its fields: the template head, and the parameter
// list as written with what follows it.
TEST(DocDeclarations, HeadsKeepTheirTemplateHeadParameterListAndQualifiers) {
  struct TextCase {
    const char* name;
    int kind;
    const char* text;
    Fields fields;
    const char* template_head;
    const char* parameters;
  } cases[] = {
      {"template function", kDeclFunction, "template <typename T> T Max(T a, T b)", {"T", "Max"},
       "template <typename T>", "(T a, T b)"},
      {"void list", kDeclFunction, "int f(void);", {"int", "f"}, "", "(void)"},
      {"defaults as written", kDeclFunction,
       "int g(int n = -1, double d = -1.5e3, const char *s = \"a b\", std::vector<int> v = {});", {"int", "g"}, "",
       "(int n = -1, double d = -1.5e3, const char *s = \"a b\", std::vector<int> v = {})"},
      {"brackets in literals", kDeclFunction, "void h(char c = ')', const char* s = \"(\")", {"void", "h"}, "",
       "(char c = ')', const char* s = \"(\")"},
      {"const member function", kDeclMemberFunction, "bool Shape::operator<(const Shape &other) const",
       {"bool", "Shape", "operator\\<"}, "", "(const Shape &other) const"},
      {"template member function", kDeclMemberFunction, "template <typename T>  void Box<T>::add(const T &item)",
       {"void", "Box", "add"}, "template <typename T>", "(const T &item)"},
      {"qualifiers", kDeclMemberFunction, "int Shape::Area() const noexcept override", {"int", "Shape", "Area"}, "",
       "() const noexcept override"},
      {"pure", kDeclMemberFunction, "void Shape::Draw(Canvas& c) = 0;", {"void", "Shape", "Draw"}, "", "(Canvas& c) = 0"},
      {"class template", kDeclClass, "template <typename T> class Box", {"Box"}, "template <typename T>", ""},
  };
  for (const TextCase& c : cases) {
    ScanCursor cursor{c.text, 0};
    Fields fields;
    DeclarationText text;
    ASSERT_EQ(ParseDeclaration(c.kind, &cursor, true, &fields, &text), 0) << c.name;
    EXPECT_EQ(fields, c.fields) << c.name;
    EXPECT_EQ(text.template_head, c.template_head) << c.name;
    EXPECT_EQ(text.parameters, c.parameters) << c.name;
  }
  // The defaults one by one, as written.
  RunCases({{"defaults one by one",
             "(int n = -1, double d = -1.5e3, const char *s = \"a b\", std::vector<int> v = {})",
             {{kDeclParameterOpt, 0, {"int", "n", "-1"}},
              {kDeclParameterOpt, 0, {"double", "d", "-1.5e3"}},
              {kDeclParameterOpt, 0, {"const char *", "s", "\"a b\""}},
              {kDeclParameterOpt, 0, {"std::vector\\<int\\>", "v", "{}"}}}}});
  // A list that does not close asks for the next line, and gives the name
  // all the same when no line can follow.
  ScanCursor open{"void broken(int", 0};
  Fields fields;
  DeclarationText text;
  EXPECT_EQ(ParseDeclaration(kDeclFunction, &open, true, &fields, &text), kDeclContinues);
  EXPECT_EQ(fields, (Fields{"void", "broken"}));
  EXPECT_EQ(ParseDeclaration(kDeclFunction, &open, false, &fields, &text), 0);
  EXPECT_EQ(fields, (Fields{"void", "broken"}));
  EXPECT_EQ(text.parameters, "");
}

TEST(DocDeclarations, ConstantsStructuresAndEnumerators) {
  RunCases({
      {"define", "#define MAX_POINTS 256", {{kDeclConstant, 0, {"#define", "MAX_POINTS"}}}},
      {"const", "const int kLimit = 5;", {{kDeclConstant, 0, {"const int", "kLimit"}}}},
      {"const array", "const char kName[] = \"x\";", {{kDeclConstant, 0, {"const char", "kName"}}}},
      {"neither define nor const", "int x = 5;", {{kDeclConstant, kDeclNoKeyword, {}}}},
      {"struct", "struct Point {", {{kDeclStruct, 0, {"Point"}}}},
      {"typedef struct", "typedef struct tagPoint {", {{kDeclStruct, 0, {"tagPoint"}}}},
      {"union", "union Value", {{kDeclUnion, 0, {"Value"}}}},
      {"enum class", "enum class Color {", {{kDeclEnum, 0, {"Color"}}}},
      {"keyword without name", "struct {", {{kDeclStruct, kDeclNotThisKind, {}}}},
      {"not a struct", "class A", {{kDeclStruct, kDeclNoKeyword, {}}}},
      {"enumerators on one line", "{ RED = 1, GREEN, BLUE }",
       {{kDeclEnumMember, 0, {"RED"}}, {kDeclEnumMember, 0, {"GREEN"}}, {kDeclEnumMember, 0, {"BLUE"}}}},
  });
}

TEST(DocDeclarations, VisualBasicPieces) {
  RunCases({
      {"function and its parameters", "Public Function Area(ByVal r As Double, Optional n() As Long) As Double",
       {{kDeclBFunc, 0, {"Public", "Area", "Double"}},
        {kDeclBParameter, 0, {"ByVal", "r", "Double"}},
        {kDeclBParameter, 0, {"Optional", "n()", "Long"}}}},
      {"sub with two access words", "Private Static Sub Init()", {{kDeclBSub, 0, {"Private Static", "Init"}}}},
      {"sub without parameters keeps its name", "Sub Main", {{kDeclBSub, 0, {"", "Main"}}}},
      {"type", "Public Type Point", {{kDeclBType, 0, {"Public", "Point"}}}},
      {"field with bounds", "    Values(1 To 10) As Long", {{kDeclBField, 0, {"Values(1 To 10)", "Long"}}}},
      {"field with suffix name", "Count% ", {{kDeclBField, 0, {"Count%", ""}}}},
      {"property", "Public Property Get Name() As String",
       {{kDeclBProperty, 0, {"Public", "Get", "Name", "()", "String"}}}},
      {"property let with parameter", "Property Let Name(ByVal V As String)",
       {{kDeclBProperty, 0, {"", "Let", "Name", "(ByVal V As String)", ""}}}},
      {"modifier after the type", "(x As Long ByVal y)", {{kDeclBParameter, kDeclOutOfOrder, {}}}},
      {"no procedure", "Dim x As Long", {{kDeclBSub, kDeclNotThisKind, {}}}},
      {"java kinds have no scanner", "void run()", {{kDeclJMethod, kErrUnknownParse, {}}}},
  });
}

TEST(DocDeclarations, TemplateHeaderLines) {
  EXPECT_TRUE(IsTemplateHeaderLine("template <typename T, int N>"));
  EXPECT_TRUE(IsTemplateHeaderLine("  template<class T>  "));
  EXPECT_FALSE(IsTemplateHeaderLine("template <class T> T Max(T a, T b);"));
  EXPECT_FALSE(IsTemplateHeaderLine("int templated;"));
}

}  // namespace
}  // namespace folios::docgen

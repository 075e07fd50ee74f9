// The rules file that ships with the program: its file types, and the
// comment style of every rule counted on a small real-looking file.

#include "TempDir.h"
#include "engine/LineCounts.h"

#include "engine/CommentRuleCounters.h"
#include "engine/CountingManager.h"

#include <gtest/gtest.h>
#include <set>
#include <string>
#include <tuple>

namespace
{
class ShippedRules : public testing::Test
{
protected:
    void SetUp() override
    {
        m_strShipped = ReadFileBytes(LINECAST_SOURCE_DIR "/conf/conf.xml");
        ASSERT_FALSE(m_strShipped.empty());
        // A copy: running the tests never writes a tracked file.
        m_strPath = m_dir.Write("conf/conf.xml", m_strShipped);
        m_manager.SetRulesPath(m_strPath);
        m_manager.SetSaveRulesOnDestroy(false);
        m_manager.LoadRules();
        ASSERT_TRUE(m_manager.RulesLoaded());
    }

    TempDir m_dir;
    std::string m_strShipped;
    std::string m_strPath;
    CountingManager m_manager;
};

// The file type dialog cuts a description longer than this when it is edited.
constexpr size_t MAX_DESCRIPTION_LENGTH = 128;

TEST_F(ShippedRules, HasTheTenRuleTypesAndDescribesEveryRule)
{
    for (const char* pszType :
         {"Aspx", "Basic", "C", "JSP", "PHP", "Pascal", "Shell", "Sql", "Text", "Xml"})
        EXPECT_EQ(m_manager.m_ruleTable.count(pszType), 1u) << pszType;
    EXPECT_GE(m_manager.m_ruleTable.size(), 70u);

    std::set<std::string> lowerTypes;
    for (const auto& [strType, pRule] : m_manager.m_ruleTable)
    {
        // The saver files an extension under every rule whose name matches
        // it without regard to case.
        EXPECT_TRUE(lowerTypes.insert(strType.Lower().utf8_string()).second) << strType;
        EXPECT_FALSE(pRule->m_strDesc.empty()) << strType;
        EXPECT_LE(pRule->m_strDesc.length(), MAX_DESCRIPTION_LENGTH) << strType;
    }
}

TEST_F(ShippedRules, EveryExtensionIsLowerCaseDottedUniqueAndNamesARule)
{
    // Duplicates would fold into one table entry; count the file's entries.
    size_t nInFile = 0;
    for (size_t nPos = 0; (nPos = m_strShipped.find("<extension>", nPos)) != std::string::npos;
         ++nPos)
        ++nInFile;
    EXPECT_EQ(m_manager.m_extensionTable.size(), nInFile);
    EXPECT_GE(nInFile, 250u);

    for (const auto& [strName, pExt] : m_manager.m_extensionTable)
    {
        EXPECT_EQ(strName, strName.Lower());
        EXPECT_TRUE(strName.length() >= 2 && strName[0] == '.') << strName;
        // A hyphen would cut the name in the source type dialog's list.
        EXPECT_EQ(strName.find_first_of(" \t/\\*;-", 1), wxString::npos) << strName;
        EXPECT_EQ(strName.find('.', 1), wxString::npos) << strName;
        EXPECT_EQ(m_manager.m_ruleTable.count(pExt->m_strRuleType), 1u) << strName;
        EXPECT_FALSE(pExt->m_strDesc.empty()) << strName;
        EXPECT_LE(pExt->m_strDesc.length(), MAX_DESCRIPTION_LENGTH) << strName;
    }
    const struct
    {
        const char* szExt;
        const char* szRuleType;
    } known[] = {
        {".c", "C"},           {".cpp", "C"},       {".h", "C"},
        {".java", "C"},        {".m", "C"},         {".js", "C"},
        {".ts", "C"},          {".rs", "C"},        {".py", "Shell"},
        {".pl", "Shell"},      {".sh", "Shell"},    {".cmake", "Shell"},
        {".sql", "Sql"},       {".xml", "Xml"},     {".html", "Xml"},
        {".pas", "Pascal"},    {".vb", "Basic"},    {".jsp", "JSP"},
        {".php", "PHP"},       {".aspx", "Aspx"},   {".txt", "Text"},
        {".md", "Text"},       {".rmd", "Text"},    {".lua", "Lua"},
        {".hs", "Haskell"},    {".elm", "Elm"},     {".ml", "OCaml"},
        {".fs", "FSharp"},     {".lisp", "Lisp"},   {".scm", "Scheme"},
        {".rkt", "Racket"},    {".clj", "Clojure"}, {".el", "EmacsLisp"},
        {".f90", "Fortran"},   {".erl", "Erlang"},  {".adb", "Ada"},
        {".vhd", "VHDL"},      {".v", "Verilog"},   {".sv", "SystemVerilog"},
        {".asm", "Assembly"},  {".tex", "TeX"},     {".vim", "VimScript"},
        {".bat", "Batch"},     {".nix", "Nix"},     {".tf", "HCL"},
        {".prolog", "Prolog"}, {".cob", "COBOL"},   {".vue", "Vue"},
        {".svelte", "Svelte"},
    };
    for (const auto& type : known)
    {
        const auto it = m_manager.m_extensionTable.find(type.szExt);
        ASSERT_NE(it, m_manager.m_extensionTable.end()) << type.szExt;
        EXPECT_EQ(it->second->m_strRuleType, type.szRuleType) << type.szExt;
    }
}

TEST_F(ShippedRules, LoadAndSaveReproduceTheFileByteForByte)
{
    m_manager.SaveRules();
    EXPECT_EQ(ReadFileBytes(m_strPath), m_strShipped);
}

// One small file in each comment style of the shipped rules, counted by the
// rule its file type names (MATLAB has no file type of its own: .m is
// Objective-C). Each has a comment line, a code line, a code line with a
// trailing comment and, where the style has them, a block comment over two
// lines, so a wrong marker shows as a wrong count.
struct StyleSample
{
    const char* szExt; // empty: counted by szRuleType directly
    const char* szRuleType;
    const char* szText;
    LineCounts expected; // lines, code, comment, code+comment, blank
};

const StyleSample g_samples[] = {
    {".ml",
     "OCaml",
     "(* Sums a list. *)\nlet rec sum = function\n  | [] -> 0 (* empty *)\n"
     "  | x :: rest -> x + sum rest\n\n(* Tail-recursive\n   version later. *)\nlet () = print_int "
     "(sum [1; 2])\n",
     {8, 3, 3, 1, 1}},
    {".xquery",
     "XQuery",
     "(: Lists the titles. :)\nfor $b in doc(\"books.xml\")//book\n"
     "return $b/title (: one per book :)\n\n(: Sorted\n   later. "
     ":)\n,count(doc(\"books.xml\")//book)\n",
     {7, 2, 3, 1, 1}},
    {".ld",
     "LinkerScript",
     "/* Memory layout of the board. */\nMEMORY\n{\n"
     "  FLASH (rx) : ORIGIN = 0x08000000, LENGTH = 512K /* on chip */\n}\n\n"
     "/* The vector table\n   comes first. */\nENTRY(Reset_Handler)\n",
     {9, 4, 3, 1, 1}},
    {".xml",
     "Xml",
     "<?xml version=\"1.0\"?>\n<!-- Build settings. -->\n<settings>\n"
     "  <jobs>2</jobs> <!-- one per core -->\n\n  <!-- Paths\n       follow. -->\n</settings>\n",
     {8, 3, 3, 1, 1}},
    {".ftl",
     "FreeMarker",
     "<#-- Greets the visitor. -->\n<h1>Hello ${user}!</h1>\n"
     "<#if admin>Admin</#if> <#-- only for admins -->\n\n<#--\n  Footer follows. -->\n<#include "
     "\"footer.ftl\">\n",
     {7, 2, 3, 1, 1}},
    {".erb",
     "ERB",
     "<%# Lists the orders. %>\n<ul>\n"
     "<% @orders.each do |o| %><li><%= o.name %></li><% end %> <%# one row each %>\n</ul>\n\n"
     "<%# Pagination\n    comes later. %>\n<%= render \"footer\" %>\n",
     {8, 3, 3, 1, 1}},
    {".cshtml",
     "Razor",
     "@* Shows the cart. *@\n@model CartViewModel\n<p>@Model.Count items</p> @* count only *@\n\n"
     "@* Totals are\n   computed in the view model. *@\n<p>@Model.Total</p>\n",
     {7, 2, 3, 1, 1}},
    {".twig",
     "Twig",
     "{# Base layout. #}\n<title>{% block title %}{% endblock %}</title>\n"
     "{{ content }} {# rendered body #}\n\n{# Navigation\n   goes here. #}\n{% include "
     "'footer.html' %}\n",
     {7, 2, 3, 1, 1}},
    {".liquid",
     "Liquid",
     "{% comment %}Product card.{% endcomment %}\n<h2>{{ product.title }}</h2>\n"
     "<p>{{ product.price | money }}</p> {% comment %}formatted{% endcomment %}\n\n"
     "{% comment %}\n  Reviews follow.\n{% endcomment %}\n{% render 'reviews' %}\n",
     {8, 2, 4, 1, 1}},
    {".hbs",
     "Handlebars",
     "{{! Comment list }}\n<ul class=\"comments\">\n"
     "  {{#each comments}}<li>{{body}}</li>{{/each}} {{! newest first }}\n</ul>\n\n"
     "{{!\n  Paging is added later. }}\n{{> footer}}\n",
     {8, 3, 3, 1, 1}},
    {".f90",
     "Fortran",
     "! Computes the area of a circle.\nprogram area\n  real :: r = 2.0 ! radius\n"
     "  print *, 3.14159 * r**2\n\nend program area\n",
     {6, 3, 1, 1, 1}},
    {".vim",
     "VimScript",
     "\" Toggles line numbers.\nfunction! ToggleNumbers()\n  set number! \" flip\n"
     "endfunction\n\nnnoremap <F2> :call ToggleNumbers()<CR>\n",
     {6, 3, 1, 1, 1}},
    {".graphql",
     "GraphQL",
     "# The books a reader may borrow.\ntype Book {\n  id: ID!\n  title: String! # never empty\n"
     "}\n\ntype Query { books: [Book!]! }\n",
     {7, 4, 1, 1, 1}},
    {".tf",
     "HCL",
     "# Storage for the build artefacts.\nresource \"aws_s3_bucket\" \"artefacts\" {\n"
     "  bucket = \"ci-artefacts\" # must be unique\n}\n\n/* Versioning is\n"
     "   switched on later. */\noutput \"bucket\" { value = aws_s3_bucket.artefacts.id }\n",
     {8, 3, 3, 1, 1}},
    {".vm",
     "Velocity",
     "## Order confirmation mail.\nDear $customer.name,\n"
     "your order $order.id has shipped. ## plain text only\n\n#* Tracking links\n"
     "   are added later. *#\nKind regards, $shop.name\n",
     {7, 2, 3, 1, 1}},
    {".erl",
     "Erlang",
     "%% Greets a person.\n-module(greet).\n-export([hello/1]).\n\n"
     "hello(Name) -> io:format(\"Hello ~s~n\", [Name]). % prints\n",
     {5, 2, 1, 1, 1}},
    {"",
     "MATLAB",
     "% Plots a sine wave.\nx = linspace(0, 2*pi, 100);\nplot(x, sin(x)) % one period\n\n"
     "%{\n  Axis labels come later.\n%}\ngrid on\n",
     {8, 2, 4, 1, 1}},
    {".prolog",
     "Prolog",
     "% Family relations.\nparent(tom, bob).\nparent(bob, ann). % grandchild of tom\n\n"
     "/* X is a grandparent\n   of Z. */\ngrandparent(X, Z) :- parent(X, Y), parent(Y, Z).\n",
     {7, 2, 3, 1, 1}},
    {".vb",
     "Basic",
     "' Greets the user.\nModule Hello\n    Sub Main()\n"
     "        Console.WriteLine(\"Hello\") ' to the console\n    End Sub\n\nEnd Module\n",
     {7, 4, 1, 1, 1}},
    {".cob",
     "COBOL",
     "       IDENTIFICATION DIVISION.\n       PROGRAM-ID. HELLO.\n      * Prints a greeting.\n"
     "       PROCEDURE DIVISION.\n           DISPLAY \"HELLO\" *> to the console\n\n"
     "           STOP RUN.\n",
     {7, 4, 1, 1, 1}},
    {".haml",
     "Haml",
     "-# Profile page.\n%h1= @user.name\n%p= @user.bio -# may be empty\n\n%footer Contact\n",
     {5, 2, 1, 1, 1}},
    {".adb",
     "Ada",
     "-- Prints a greeting.\nwith Ada.Text_IO;\nprocedure Hello is\nbegin\n"
     "   Ada.Text_IO.Put_Line (\"Hello\"); -- to standard output\n\nend Hello;\n",
     {7, 4, 1, 1, 1}},
    {".applescript",
     "AppleScript",
     "-- Shows a greeting.\nset userName to \"Ada\"\ndisplay dialog \"Hello \" & userName -- "
     "modal\n\n"
     "(* Sending mail\n   comes later. *)\nbeep\n",
     {7, 2, 3, 1, 1}},
    {".lua",
     "Lua",
     "-- Greets the user.\nlocal name = arg[1] or \"world\" -- default\n"
     "print(\"Hello, \" .. name)\n\n--[[ Colours are\n     added later. ]]\nreturn name\n",
     {7, 2, 3, 1, 1}},
    {".vhd",
     "VHDL",
     "-- A two-input AND gate.\nlibrary ieee;\nuse ieee.std_logic_1164.all;\n\nentity and2 is\n"
     "  port (a, b : in std_logic; y : out std_logic); -- inputs and output\nend entity;\n"
     "/* Architecture\n   follows. */\narchitecture rtl of and2 is begin y <= a and b; end "
     "architecture;\n",
     {10, 5, 3, 1, 1}},
    {".lean",
     "Lean",
     "-- Addition is commutative.\ntheorem add_comm' (a b : Nat) : a + b = b + a := by\n"
     "  omega -- decision procedure\n\n/- The proof of the\n   general case follows. -/\n#check "
     "add_comm'\n",
     {7, 2, 3, 1, 1}},
    {".hs",
     "Haskell",
     "-- Sums a list.\nmodule Sum where\n\ntotal :: [Int] -> Int\n"
     "total = foldr (+) 0 -- right fold\n\n{- A strict version\n   comes later. -}\nmain = print "
     "(total [1, 2])\n",
     {9, 3, 3, 1, 2}},
    {".gleam",
     "Gleam",
     "// Greets the user.\nimport gleam/io\n\npub fn main() {\n"
     "  io.println(\"Hello\") // to standard output\n}\n",
     {6, 3, 1, 1, 1}},
    {".fs",
     "FSharp",
     "// Squares the numbers.\nlet squares = [ for x in 1 .. 5 -> x * x ] // 1 to 25\n\n"
     "(* Printing\n   comes later. *)\nprintfn \"%A\" squares\n",
     {6, 1, 3, 1, 1}},
    {".v",
     "Verilog",
     "// A D flip-flop.\nmodule dff (input clk, input d, output reg q);\n"
     "  always @(posedge clk)\n    q <= d; // on the rising edge\nendmodule\n\n"
     "/* A reset input\n   is added later. */\n`default_nettype none\n",
     {9, 4, 3, 1, 1}},
    {".vue",
     "Vue",
     "<template>\n  <!-- The greeting. -->\n  <p>{{ message }}</p>\n</template>\n\n<script>\n"
     "// Default message.\nexport default { data: () => ({ message: 'Hello' }) } // reactive\n"
     "</script>\n",
     {9, 5, 2, 1, 1}},
    {".pas",
     "Pascal",
     "// Greets the user.\nprogram Hello;\nbegin\n  WriteLn('Hello'); { to the console }\n\n"
     "  { A second\n    greeting later. }\nend.\n",
     {8, 3, 3, 1, 1}},
    {".clj",
     "Clojure",
     ";; Greets a person.\n(ns hello.core)\n\n(defn greet [name]\n"
     "  (str \"Hello, \" name)) ; returns a string\n",
     {5, 2, 1, 1, 1}},
    {".au3",
     "AutoIt",
     "; Shows a message box.\n#include <MsgBoxConstants.au3>\n"
     "MsgBox($MB_OK, \"Hello\", \"Hello, world\") ; blocks until closed\n\n#cs\n"
     "  Logging comes later.\n#ce\nExit 0\n",
     {8, 2, 4, 1, 1}},
    {".lisp",
     "Lisp",
     ";;; Factorial.\n(defun fact (n)\n  (if (< n 2) 1 (* n (fact (1- n))))) ; recursive\n\n"
     "#| An iterative version\n   comes later. |#\n(print (fact 5))\n",
     {7, 2, 3, 1, 1}},
    {".ahk",
     "AutoHotkey",
     "; Types a signature.\n#Requires AutoHotkey v2.0\n^!s::Send \"Best regards\" ; Ctrl+Alt+S\n\n"
     "/* Other hotkeys\n   come later. */\n#HotIf WinActive(\"ahk_exe notepad.exe\")\n",
     {7, 2, 3, 1, 1}},
    {".wat",
     "WebAssembly",
     ";; Adds two numbers.\n(module\n  (func (export \"add\") (param i32 i32) (result i32)\n"
     "    local.get 0\n    local.get 1\n    i32.add) ;; the sum\n\n  (; Memory is not\n"
     "     needed yet. ;)\n)\n",
     {10, 5, 3, 1, 1}},
    // Markers match case: a lower-case remark is code.
    {".bat",
     "Batch",
     "@ECHO OFF\nREM Builds the project.\nSETLOCAL\ncmake --build build & REM after configuring\n"
     "rem Lower-case remarks count as code.\n\nENDLOCAL\n",
     {7, 4, 1, 1, 1}},
};

using Style = std::tuple<wxString, wxString, wxString>;

Style StyleOf(const CounterRule& rule)
{
    return {rule.m_strSingleLineComment, rule.m_strMultiLineCommentBegin,
            rule.m_strMultiLineCommentEnd};
}

TEST_F(ShippedRules, EveryCommentStyleCountsASampleFile)
{
    std::set<Style> sampled;
    for (const StyleSample& sample : g_samples)
    {
        SCOPED_TRACE(std::string(sample.szRuleType) + " " + sample.szExt);
        if (*sample.szExt)
        {
            wxString strRuleType;
            m_manager.m_extensionTable.at(sample.szExt)->m_bSelected = true;
            ASSERT_TRUE(m_manager.IsSelectedType(sample.szExt, strRuleType));
            EXPECT_EQ(strRuleType, sample.szRuleType);
        }
        Counter* pCounter = m_manager.GetCounter(sample.szRuleType);
        ASSERT_NE(pCounter->m_pRule, nullptr);
        EXPECT_EQ(CountBytes(*pCounter, sample.szText), sample.expected);
        sampled.insert(StyleOf(*pCounter->m_pRule));
    }
    // Every style counted by its markers has its sample.
    for (const auto& [strType, pRule] : m_manager.m_ruleTable)
    {
        if (dynamic_cast<CommentRuleCounter*>(m_manager.GetCounter(strType)))
        {
            EXPECT_EQ(sampled.count(StyleOf(*pRule)), 1u) << strType << " has no sample";
        }
    }
}
} // namespace

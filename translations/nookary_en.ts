<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="en">
<context>
    <name>nookary::HistoryRow</name>
    <message numerus="yes">
        <location filename="../src/ui/panel/HistoryRow.cpp" line="+33"/>
        <source>+%Ln more</source>
        <comment>files beside the one a row names</comment>
        <translation>
            <numerusform>+%Ln more</numerusform>
            <numerusform>+%Ln more</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>nookary::OnboardingFlowView</name>
    <message numerus="yes">
        <location filename="../src/ui/onboarding/OnboardingFlowView.cpp" line="+341"/>
        <source>%Ln of %1 completed</source>
        <translation>
            <numerusform>%Ln of %1 completed</numerusform>
            <numerusform>%Ln of %1 completed</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>nookary::PreferencesView</name>
    <message numerus="yes">
        <location filename="../src/ui/preferences/PreferencesView.cpp" line="+110"/>
        <source>%Ln items</source>
        <translation>
            <numerusform>%Ln item</numerusform>
            <numerusform>%Ln items</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <location line="+222"/>
        <source>Exported %Ln snippet(s) to %1</source>
        <translation>
            <numerusform>Exported %Ln snippet to %1</numerusform>
            <numerusform>Exported %Ln snippets to %1</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>nookary::ShelfColumn</name>
    <message numerus="yes">
        <location filename="../src/ui/panel/ShelfColumn.cpp" line="+84"/>
        <source>You can save up to %Ln snippets. Delete one to make room.</source>
        <translation>
            <numerusform>You can save up to %Ln snippet. Delete it to make room.</numerusform>
            <numerusform>You can save up to %Ln snippets. Delete one to make room.</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>nookary::SnippetTransfer</name>
    <message numerus="yes">
        <location filename="../src/model/SnippetTransfer.cpp" line="+266"/>
        <source>Imported %Ln snippet(s).</source>
        <translation>
            <numerusform>Imported %Ln snippet.</numerusform>
            <numerusform>Imported %Ln snippets.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <location line="+3"/>
        <source>Skipped %Ln already saved.</source>
        <translation>
            <numerusform>Skipped %Ln already saved.</numerusform>
            <numerusform>Skipped %Ln already saved.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <location line="+3"/>
        <source>%Ln did not fit: at most %1 snippets can be saved.</source>
        <translation>
            <numerusform>%Ln did not fit: at most %1 snippets can be saved.</numerusform>
            <numerusform>%Ln did not fit: at most %1 snippets can be saved.</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>nookary::UndoBar</name>
    <message numerus="yes">
        <location filename="../src/ui/panel/UndoBar.cpp" line="+80"/>
        <source>It cannot go back: the history keeps only the newest %Ln.</source>
        <translation>
            <numerusform>It cannot go back: the history keeps only the newest %Ln.</numerusform>
            <numerusform>It cannot go back: the history keeps only the newest %Ln.</numerusform>
        </translation>
    </message>
</context>
</TS>

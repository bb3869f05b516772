<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="en">
<context>
    <name>nookary::OnboardingFlowView</name>
    <message numerus="yes">
        <location filename="../src/ui/onboarding/OnboardingFlowView.cpp" line="+320"/>
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
        <location filename="../src/ui/preferences/PreferencesView.cpp" line="+97"/>
        <source>%Ln items</source>
        <translation>
            <numerusform>%Ln item</numerusform>
            <numerusform>%Ln items</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <location line="+201"/>
        <source>Exported %Ln snippet(s) to %1</source>
        <translation>
            <numerusform>Exported %Ln snippet to %1</numerusform>
            <numerusform>Exported %Ln snippets to %1</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>nookary::SavedColumn</name>
    <message numerus="yes">
        <location filename="../src/ui/panel/SavedColumn.cpp" line="+83"/>
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
        <location filename="../src/model/SnippetTransfer.cpp" line="+148"/>
        <source>Added %Ln</source>
        <translation>
            <numerusform>Added %Ln</numerusform>
            <numerusform>Added %Ln</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <location line="+2"/>
        <source>skipped %Ln already saved</source>
        <translation>
            <numerusform>skipped %Ln already saved</numerusform>
            <numerusform>skipped %Ln already saved</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <location line="+2"/>
        <source>%Ln over the limit of %1</source>
        <translation>
            <numerusform>%Ln over the limit of %1</numerusform>
            <numerusform>%Ln over the limit of %1</numerusform>
        </translation>
    </message>
</context>
</TS>

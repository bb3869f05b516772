<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="en">
<context>
    <name>nookary::OnboardingFlowView</name>
    <message numerus="yes">
        <location filename="../src/ui/onboarding/OnboardingFlowView.cpp" line="+299"/>
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
        <location filename="../src/ui/preferences/PreferencesView.cpp" line="+70"/>
        <source>%Ln items</source>
        <translation>
            <numerusform>%Ln item</numerusform>
            <numerusform>%Ln items</numerusform>
        </translation>
    </message>
</context>
</TS>

#!/usr/bin/env python3
# Writes the seeds of inputconnection_fuzz into the directory given. The fuzzer
# reads every number from the end of its input (the first one read is the last
# byte), so a seed is written in reading order and reversed.
import os, sys
OPS = ["CommitText","DeleteSurroundingText","FinishComposingText","GetCursorCapsMode",
 "GetExtractedText","GetSelectedText","GetTextAfterCursor","GetTextBeforeCursor",
 "SetComposingText","SetComposingRegion","SetSelection","ContextMenuAction","HostReset",
 "HostCommit","ShowInputPanel","TypeOnField","ToggleFocus","ReplaceField"]
# Each method appends, in reading order, the bytes one decoder of the fuzzer reads.
class Enc:
    def __init__(s): s.b=[]
    def byte(s,v): s.b.append(v & 0xFF)
    def op(s,name): s.byte(OPS.index(name))
    def i32(s,x):
        u=(x+2**31)&0xFFFFFFFF
        for sh in (24,16,8,0): s.byte(u>>sh)
    def pos(s,kind,v=0):
        k={"small":0,"end":1,"cursor":2,"max":3,"min":4,"raw":5,"abs":6}[kind]
        s.byte(k)
        if kind in("small","end","cursor"): s.byte(v+3)
        elif kind in("max","min"): s.byte(v)
        elif kind=="raw": s.i32(v)
        else: s.byte(v)
    def text(s,units):
        s.byte(len(units))
        for u in units:
            if u=="HI": s.byte(0xA0)
            elif u=="LO": s.byte(0xC0)
            elif isinstance(u,str): s.byte(ord(u)-ord('a'))
            else: s.byte(0xE0); s.byte(u>>8); s.byte(u&0xFF)
    def data(s): return bytes(reversed(s.b))
seeds={}
e=Enc(); e.op("CommitText"); e.text("hello"); e.pos("small",1)
e.op("SetComposingText"); e.text("wor"); e.pos("small",1)
e.op("GetTextBeforeCursor"); e.pos("abs",3); e.i32(0)
e.op("FinishComposingText"); e.op("GetTextAfterCursor"); e.pos("abs",3); e.i32(0)
seeds["compose-and-finish"]=e
e=Enc(); e.op("CommitText"); e.text("abcdefghijk"); e.pos("small",0)
e.op("SetComposingRegion"); e.pos("abs",7); e.pos("abs",3)
e.op("GetExtractedText"); e.pos("abs",5); e.i32(0); e.i32(0)
e.op("DeleteSurroundingText"); e.pos("abs",2); e.pos("abs",1)
seeds["region-extract-delete"]=e
e=Enc(); e.op("CommitText"); e.text(["a","HI","LO","LO","b",0xFFFF]); e.pos("small",0)
e.op("SetSelection"); e.pos("min",0); e.pos("max",0); e.op("GetSelectedText"); e.i32(0)
e.op("GetExtractedText"); e.pos("max",0); e.i32(0); e.i32(0)
e.op("SetSelection"); e.pos("cursor",-2); e.pos("cursor",-1)
e.op("DeleteSurroundingText"); e.pos("abs",1); e.pos("abs",0)
seeds["surrogates-and-extremes"]=e
e=Enc(); e.op("CommitText"); e.text("abc"); e.pos("small",0)
e.op("ShowInputPanel"); e.byte(1); e.op("TypeOnField"); e.byte(2); e.byte(3-1)
e.op("SetComposingText"); e.text("xy"); e.pos("max",0)
e.op("ToggleFocus"); e.op("GetTextBeforeCursor"); e.pos("abs",3); e.i32(0)
e.op("SetComposingRegion"); e.pos("small",0); e.pos("end",0); e.op("ToggleFocus")
e.op("ReplaceField"); e.op("GetCursorCapsMode"); e.i32(0); e.op("HostCommit"); e.byte(1)
seeds["panel-focus-replace"]=e
e=Enc(); e.op("DeleteSurroundingText"); e.pos("max",0); e.pos("max",0)
e.op("SetComposingText"); e.text(""); e.pos("min",0)
e.op("SetComposingRegion"); e.pos("min",0); e.pos("max",0)
e.op("GetTextAfterCursor"); e.pos("max",0); e.i32(0)
e.op("ContextMenuAction"); e.byte(4); e.op("HostReset")
seeds["empty-text-extremes"]=e
d=sys.argv[1]
for name,enc in seeds.items(): open(os.path.join(d,name),"wb").write(enc.data())

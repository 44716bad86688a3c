#include "core/modURLDownload.h"

#include "core/AppError.h"
#include "platform/net/Download.h"

#include <QFileInfo>
#include <QSet>

namespace {

// The generic domains, then the two-letter country codes in alphabetical order.
const char kTopLevelDomains[] =
    "com,net,edu,arpa,org,gov,museum,biz,info,pro,name,aero,coop,"
    "ac,ad,ae,af,ag,ai,al,am,an,ao,aq,ar,as,at,au,aw,az,ba,bb,bd,be,bf,bg,bh,bi,bj,bm,bn,bo,br,"
    "bs,bt,bv,bw,by,bz,ca,cc,cd,cf,cg,ch,ci,ck,cl,cm,cn,co,cr,cu,cv,cx,cy,cz,de,dj,dk,dm,do,dz,"
    "ec,ee,eg,eh,er,es,et,fi,fj,fk,fm,fo,fr,ga,gd,ge,gf,gg,gh,gi,gl,gm,gn,gp,gq,gr,gs,gt,gu,gw,"
    "gy,hk,hm,hn,hr,ht,hu,id,ie,il,im,in,io,iq,ir,is,it,je,jm,jo,jp,ke,kg,kh,ki,km,kn,kp,kr,kw,"
    "ky,kz,la,lb,lc,li,lk,lr,ls,lt,lu,lv,ly,ma,mc,md,mg,mh,mk,ml,mm,mn,mo,mp,mq,mr,ms,mt,mu,mv,"
    "mw,mx,my,mz,na,nc,ne,nf,ng,ni,nl,no,np,nr,nu,nz,om,pa,pe,pf,pg,ph,pk,pl,pm,pn,pr,ps,pt,pw,"
    "py,qa,re,ro,ru,rw,sa,sb,sc,sd,se,sg,sh,si,sj,sk,sl,sm,sn,so,sr,st,sv,sy,sz,tc,td,tf,tg,th,"
    "tj,tk,tm,tn,to,tp,tr,tt,tv,tw,tz,ua,ug,uk,um,us,uy,uz,va,vc,ve,vg,vi,vn,vu,wf,ws,ye,yt,yu,"
    "za,zm,zr,zw";

// The protocols a typed address may name when one is required.
const char *const kAddressProtocols[] = {"http", "ftp", "news", "gopher", "telnet"};

// The schemes a dropped text is recognised by, as the system's URL test knows them.
const char *const kUrlSchemes[] = {
    "http", "https", "ftp", "file", "mailto", "news", "snews", "nntp", "telnet", "gopher",
    "wais", "mk", "shell", "local", "javascript", "vbscript", "about", "res",
};

const QSet<QString> &topLevelDomainSet()
{
    static const QSet<QString> set = [] {
        const QStringList list = knownTopLevelDomains();
        return QSet<QString>(list.begin(), list.end());
    }();
    return set;
}

bool isDottedIPv4(const QString &host)
{
    const QStringList parts = host.split(u'.');
    if (parts.size() != 4)
        return false;
    for (const QString &p : parts) {
        if (p.isEmpty() || p.size() > 3)
            return false;
        for (const QChar c : p)
            if (c < u'0' || c > u'9')
                return false;
        if (p.toInt() > 255)
            return false;
    }
    return true;
}

QString textAfterLastSlash(const QString &url)
{
    const qsizetype slash = url.lastIndexOf(u'/');
    if (slash < 0)
        throw AppError(ErrNo::DownloadNoFileName,
                       QStringLiteral("The address \"%1\" names no file.").arg(url));
    return url.mid(slash + 1);
}

// The local path to download to, or "" when mode 1 finds the name taken.
QString localPathFor(const QString &url, const QString &target, long mode)
{
    const bool targetIsFolder = QFileInfo(target).isDir();

    if (mode != 0) {
        const QString local = targetIsFolder ? joinPath(target, textAfterLastSlash(url)) : target;
        if (pathExists(local)) {
            if (mode == 1)
                return QString();
            if (mode == 2)
                throw AppError(ErrNo::DownloadFileExists,
                               QStringLiteral("The file \"%1\" already exists.").arg(local));
        }
        return local;
    }

    QString folder, fileName;
    if (targetIsFolder) {
        folder = target;
        fileName = textAfterLastSlash(url);
    } else {
        const qsizetype slash = target.lastIndexOf(u'/');
        folder = slash < 0 ? QString() : target.left(slash);
        fileName = target.mid(slash + 1);
    }
    const qsizetype dot = fileName.lastIndexOf(u'.');
    const QString base = dot < 0 ? fileName : fileName.left(dot);
    const QString extension = dot < 0 ? QString() : fileName.mid(dot);

    QString local = joinPath(folder, base + extension);
    for (long counter = 2; pathExists(local); ++counter)
        local = joinPath(folder, QStringLiteral("%1 (%2)%3").arg(base).arg(counter).arg(extension));
    return local;
}

} // namespace

QString URLDownload(const QString &url, const QString &target, long mode, long *errorNumber,
                    QString *errorDescription)
{
    if (errorNumber)
        *errorNumber = 0;
    if (errorDescription)
        errorDescription->clear();
    try {
        const QString local = localPathFor(url, target, mode);
        if (local.isEmpty())
            return QString();
        const platform::DownloadResult r = platform::Downloader::get().download(url, local);
        if (!r.ok)
            throw AppError(r.errorNumber != 0 ? r.errorNumber : ErrNo::InvalidCall, r.description);
        return local;
    } catch (...) {
        const FailureInfo f = currentFailure();
        if (errorNumber)
            *errorNumber = f.number;
        if (errorDescription)
            *errorDescription = f.description;
        return QString();
    }
}

QString joinPath(const QString &folder, const QString &fileName)
{
    if (folder.isEmpty())
        return fileName;
    return folder.endsWith(u'/') ? folder + fileName : folder + u'/' + fileName;
}

bool pathExists(const QString &path)
{
    if (path.isEmpty())
        return false;
    const QFileInfo fi(path);
    return fi.exists() || fi.isSymLink();
}

QStringList knownTopLevelDomains()
{
    return QString::fromLatin1(kTopLevelDomains).split(u',');
}

bool isValidURL(const QString &address, bool requireProtocol)
{
    if (address.trimmed().isEmpty())
        return false;
    QString rest = address.toLower();

    const qsizetype sep = rest.indexOf(QLatin1String("://"));
    const QString protocol = sep < 0 ? QString() : rest.left(sep);
    if (requireProtocol) {
        bool listed = false;
        for (const char *p : kAddressProtocols)
            listed = listed || protocol == QLatin1String(p);
        if (!listed)
            return false;
    }
    if (sep >= 0)
        rest = rest.mid(sep + 3);

    QString host = rest.left(rest.indexOf(u'/'));     // whole text when there is no "/"
    host = host.left(host.indexOf(u':'));              // a port is ignored
    if (isDottedIPv4(host))
        return true;
    return topLevelDomainSet().contains(host.mid(host.lastIndexOf(u'.') + 1));
}

bool isURL(const QString &text)
{
    const qsizetype colon = text.indexOf(u':');
    if (colon < 2) // "C:" is a drive, ":" alone nothing
        return false;
    const QString scheme = text.left(colon).toLower();
    for (const char *s : kUrlSchemes)
        if (scheme == QLatin1String(s))
            return true;
    return false;
}

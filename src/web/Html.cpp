#include "web/Html.h"

namespace tv::web::html {

QString escape(const QString &text)
{
    QString out;
    out.reserve(text.size() + 8);
    for (const QChar c : text) {
        switch (c.unicode()) {
        case '&': out += QLatin1String("&amp;"); break;
        case '<': out += QLatin1String("&lt;"); break;
        case '>': out += QLatin1String("&gt;"); break;
        case '"': out += QLatin1String("&quot;"); break;
        case '\'': out += QLatin1String("&#39;"); break;
        default: out += c;
        }
    }
    return out;
}

std::string page(const QString &title, const QString &body)
{
    const QString text = QStringLiteral("<!DOCTYPE html>\n<html lang=\"fr\"><head><meta charset=\"utf-8\">"
                                        "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">"
                                        "<title>%1</title><link rel=\"stylesheet\" href=\"/style.css\">"
                                        "<script src=\"/app.js\" defer></script></head>\n<body>%2</body></html>\n")
                             .arg(escape(title), body);
    return text.toStdString();
}

std::string messagePage(const QString &title, const QString &message, const QString &backHref)
{
    QString body = QStringLiteral("<main><h1>%1</h1><p id=\"message\" class=\"erreur\">%2</p>")
                       .arg(escape(title), escape(message));
    if (!backHref.isEmpty())
        body += QStringLiteral("<p><a href=\"%1\">Retour au calendrier</a></p>").arg(escape(backHref));
    return page(title, body + QStringLiteral("</main>"));
}

const std::string &styleSheet()
{
    static const std::string css = R"css(
*{box-sizing:border-box}
body{font-family:system-ui,sans-serif;margin:0;padding:0.5rem;background:#eef1fc;color:#1b1b1b;max-width:40rem;margin-inline:auto}
h1{font-size:1.3rem;margin:0.5rem 0}
h2{font-size:1.1rem;margin:0}
#message{min-height:1.2em;white-space:pre-wrap;padding:0.4rem;border-radius:4px}
#message.ok{background:#d9f2d9}
#message.erreur{background:#f9d6d5}
#message:empty{padding:0}
form.choix{display:flex;gap:0.5rem;align-items:center;flex-wrap:wrap}
select,input,button{font-size:1rem;padding:0.4rem}
nav.mois{display:flex;justify-content:space-between;align-items:center;margin:0.8rem 0}
nav.mois a{padding:0.4rem 0.6rem;background:#fff5b3;border-radius:4px;text-decoration:none;color:inherit}
.grille{display:grid;grid-template-columns:repeat(7,1fr);gap:3px}
.grille>*{text-align:center;padding:0.55rem 0;border-radius:4px;min-height:2.4rem}
.entete{font-weight:bold;font-size:0.8rem}
[data-etat=libre]{background:#fff;cursor:pointer;border:1px solid #9ab}
[data-etat=complet]{background:#f2d546}
[data-etat=ferme]{background:#444;color:#fff}
[data-etat=passe]{background:#ddd;color:#777}
[data-etat=pris]{background:#307ead;color:#fff}
label[data-etat=libre] input{position:absolute;opacity:0;width:1px;height:1px}
label[data-etat=libre]:has(input:checked){outline:3px solid #ff004c;font-weight:bold}
.legende{font-size:0.8rem;display:flex;flex-wrap:wrap;gap:0.5rem;margin:0.5rem 0}
.legende span{padding:0 0.3rem;border-radius:3px}
.reserver{display:flex;gap:0.5rem;align-items:center;flex-wrap:wrap;margin:0.8rem 0}
#mes-rendez-vous ul{list-style:none;padding:0}
#mes-rendez-vous li{display:flex;justify-content:space-between;align-items:center;background:#fff;margin:3px 0;padding:0.3rem 0.5rem;border-radius:4px}
#mes-rendez-vous form{margin:0}
)css";
    return css;
}

const std::string &script()
{
    // Only a convenience: choosing a doctor shows his month at once. The
    // page works without it (the "Afficher" button).
    static const std::string js = R"js(document.addEventListener('DOMContentLoaded',function(){
var s=document.getElementById('medecin');if(s){s.addEventListener('change',function(){s.form.submit();});}
});
)js";
    return js;
}

} // namespace tv::web::html
